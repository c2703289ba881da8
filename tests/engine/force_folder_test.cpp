#include "engine/force_folder.h"

#include <filesystem>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/temp_dir_test.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class ForceFolderTest : public testing_support::TempDirTest {};

// Spellings of a path as targets and subfolders join them: "//" where a relative path begins,
// a trailing "/" where a target was written with one.
TEST_F(ForceFolderTest, CreatesMissingParentsWhateverTheSeparators) {
  for (const char* tail : {"a/b/c", "d//e", "f/g/", "h//i//", "j///k"}) {
    SCOPED_TRACE(tail);
    EXPECT_TRUE(engine::ForceFolder(PathOf() + "/" + tail));
    fs::path made = fs::path(PathOf()) / fs::path(tail).lexically_normal();
    EXPECT_TRUE(fs::is_directory(made)) << made;
  }
}

TEST_F(ForceFolderTest, ExistingFoldersAndRootsAreTrue) {
  MakeFolder("here");
  for (const std::string& path :
       {PathOf("here"), PathOf("here") + "/", PathOf("here") + "//", std::string(),
        std::string("/"), std::string("//"), std::string("///")}) {
    EXPECT_TRUE(engine::ForceFolder(path)) << "'" << path << "'";
  }
}

TEST_F(ForceFolderTest, FileInTheWayIsFalseAndSaysWhy) {
  WriteFile("plain", "x");
  for (const char* tail : {"plain", "plain/sub", "plain//sub/deeper"}) {
    platform::IoResult failure;
    EXPECT_FALSE(engine::ForceFolder(platform::DefaultFileSystem(), PathOf(tail), &failure))
        << tail;
    EXPECT_THAT(failure.message, HasSubstr(PathOf("plain"))) << tail;
    EXPECT_FALSE(failure.ok());
  }
  EXPECT_EQ(ReadFile("plain"), "x");
}

TEST_F(ForceFolderTest, FolderExistsOnlyForFolders) {
  WriteFile("file", "x");
  MakeFolder("folder");
  fs::create_directory_symlink(PathOf("folder"), PathOf("link"));
  EXPECT_TRUE(engine::FolderExists(PathOf("folder")));
  EXPECT_TRUE(engine::FolderExists(PathOf("link")));
  EXPECT_FALSE(engine::FolderExists(PathOf("file")));
  EXPECT_FALSE(engine::FolderExists(PathOf("missing")));
  EXPECT_FALSE(engine::FolderExists(""));
}

}  // namespace
