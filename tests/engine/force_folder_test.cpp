#include "engine/force_folder.h"

#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/memory_file_system.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing_support::MemoryFileSystem;
using testing_support::Native;

// Spellings of a path as targets and subfolders join them: "//" where a relative path begins,
// a trailing "/" where a target was written with one. Parents are made first, each once.
TEST(ForceFolderTest, CreatesMissingParentsWhateverTheSeparators) {
  MemoryFileSystem fs;
  fs.AddFolder(Native("/t"));
  for (const char* tail : {"a/b/c", "d//e", "f/g/", "h//i//", "j///k"}) {
    SCOPED_TRACE(tail);
    EXPECT_TRUE(engine::ForceFolder(fs, Native(std::string("/t/") + tail)));
  }
  for (const char* made : {"/t/a/b/c", "/t/d/e", "/t/f/g", "/t/h/i", "/t/j/k"}) {
    EXPECT_TRUE(fs.IsFolder(Native(made))) << made;
  }
  EXPECT_THAT(fs.Log("mkdir"),
              ElementsAre(Native("mkdir /t/a"), Native("mkdir /t/a/b"), Native("mkdir /t/a/b/c"),
                          Native("mkdir /t/d"), Native("mkdir /t/d//e"), Native("mkdir /t/f"),
                          Native("mkdir /t/f/g"), Native("mkdir /t/h"), Native("mkdir /t/h//i"),
                          Native("mkdir /t/j"), Native("mkdir /t/j///k")));
}

TEST(ForceFolderTest, ExistingFoldersAndRootsAreTrue) {
  MemoryFileSystem fs;
  fs.AddFolder(Native("/here"));
  for (const char* path : {"/here", "/here/", "/here//", "", "/", "//", "///"}) {
    EXPECT_TRUE(engine::ForceFolder(fs, Native(path))) << "'" << path << "'";
  }
  EXPECT_THAT(fs.Log("mkdir"), testing::IsEmpty());
}

TEST(ForceFolderTest, FileInTheWayIsFalseAndSaysWhy) {
  MemoryFileSystem fs;
  fs.AddFile(Native("/plain"), "x");
  for (const char* path : {"/plain", "/plain/sub", "/plain//sub/deeper"}) {
    platform::IoResult failure;
    EXPECT_FALSE(engine::ForceFolder(fs, Native(path), &failure)) << path;
    EXPECT_THAT(failure.message, HasSubstr(Native("/plain"))) << path;
    EXPECT_FALSE(failure.ok());
  }
  EXPECT_EQ(fs.Content(Native("/plain")), "x");
}

TEST(ForceFolderTest, FolderExistsOnlyForFolders) {
  MemoryFileSystem fs;
  fs.AddFile(Native("/file"), "x");
  fs.AddFolder(Native("/folder"));
  fs.AddLink(Native("/link"), Native("/folder"));
  EXPECT_TRUE(engine::FolderExists(fs, Native("/folder")));
  EXPECT_TRUE(engine::FolderExists(fs, Native("/link")));
  EXPECT_FALSE(engine::FolderExists(fs, Native("/file")));
  EXPECT_FALSE(engine::FolderExists(fs, Native("/missing")));
  EXPECT_FALSE(engine::FolderExists(fs, ""));
}

}  // namespace
