// What the engine sees through the dry-run file system after it "created" folders, and that
// nothing reaches the disk underneath.
#include "engine/platform/dry_run_file_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/force_folder.h"
#include "tests/support/memory_file_system.h"

namespace {

using testing_support::MemoryFileSystem;
using testing_support::Native;

TEST(DryRunFileSystemTest, FoldersItWouldCreateExistOnlyForTheRun) {
  MemoryFileSystem disk;
  disk.AddFolder(Native("/d"));
  disk.AddFile(Native("/s.txt"), "s");
  platform::DryRunFileSystem fs(disk);
  platform::SourceStamp stamp = 0;

  EXPECT_TRUE(engine::ForceFolder(fs, Native("/d//new/deeper")));

  EXPECT_TRUE(engine::FolderExists(fs, Native("/d/new")));
  EXPECT_TRUE(engine::FolderExists(fs, Native("/d//new/deeper/")));
  EXPECT_FALSE(engine::FolderExists(fs, Native("/d/other")));
  EXPECT_FALSE(engine::FolderExists(disk, Native("/d/new")));
  EXPECT_TRUE(fs.CopyOver(Native("/s.txt"), Native("/d/new/deeper/file"), 0, &stamp).ok());
  EXPECT_THAT(disk.Log(), testing::IsEmpty());
  EXPECT_THAT(disk.Tree(Native("/")), testing::ElementsAre("d/", "s.txt"));
}

TEST(DryRunFileSystemTest, RefusesWhatTheDiskAlreadyForbids) {
  MemoryFileSystem disk;
  disk.AddFile(Native("/file"), "x");
  disk.AddFolder(Native("/folder"));
  platform::DryRunFileSystem fs(disk);
  platform::SourceStamp stamp = 0;

  EXPECT_FALSE(engine::ForceFolder(fs, Native("/file/sub")));
  EXPECT_FALSE(fs.CopyOver(Native("/file"), Native("/folder"), 0, &stamp).ok());
  EXPECT_FALSE(fs.CopyOver(Native("/file"), Native("/missing/a"), 0, &stamp).ok());
  EXPECT_FALSE(fs.CopyOver(Native("/file"), Native("/file/a"), 0, &stamp).ok());
  EXPECT_FALSE(fs.CopyOver(Native("/folder"), Native("/folder/a"), 0, &stamp).ok());
  EXPECT_TRUE(fs.CopyOver(Native("/file"), Native("/folder/a"), 0, &stamp).ok());
  EXPECT_FALSE(disk.Exists(Native("/folder/a")));
  EXPECT_THAT(disk.Log(), testing::IsEmpty());
}

}  // namespace
