// What the engine sees through the dry-run file system after it "created" folders.
#include "engine/platform/dry_run_file_system.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "engine/force_folder.h"
#include "tests/support/temp_dir_test.h"
#include "tests/support/tree_snapshot.h"

namespace {

class DryRunFileSystemTest : public testing_support::TempDirTest {};

TEST_F(DryRunFileSystemTest, FoldersItWouldCreateExistOnlyForTheRun) {
  MakeFolder("d");
  WriteFile("s.txt", "s");
  const auto before = testing_support::TreeSnapshot(PathOf());
  platform::DryRunFileSystem fs(platform::DefaultFileSystem());
  platform::SourceStamp stamp = 0;

  EXPECT_TRUE(engine::ForceFolder(fs, PathOf("d") + "//new/deeper"));

  EXPECT_TRUE(engine::FolderExists(fs, PathOf("d/new")));
  EXPECT_TRUE(engine::FolderExists(fs, PathOf("d") + "//new/deeper/"));
  EXPECT_FALSE(engine::FolderExists(fs, PathOf("d/other")));
  EXPECT_FALSE(engine::FolderExists(platform::DefaultFileSystem(), PathOf("d/new")));
  EXPECT_TRUE(fs.CopyOver(PathOf("s.txt"), PathOf("d/new/deeper/file"), 0, &stamp).ok());
  EXPECT_EQ(testing_support::TreeSnapshot(PathOf()), before);
}

TEST_F(DryRunFileSystemTest, RefusesWhatTheDiskAlreadyForbids) {
  WriteFile("file", "x");
  MakeFolder("folder");
  platform::DryRunFileSystem fs(platform::DefaultFileSystem());
  platform::SourceStamp stamp = 0;

  EXPECT_FALSE(engine::ForceFolder(fs, PathOf("file/sub")));
  EXPECT_FALSE(fs.CopyOver(PathOf("file"), PathOf("folder"), 0, &stamp).ok());
  EXPECT_FALSE(fs.CopyOver(PathOf("file"), PathOf("missing/a"), 0, &stamp).ok());
  EXPECT_FALSE(fs.CopyOver(PathOf("file"), PathOf("file/a"), 0, &stamp).ok());
  EXPECT_FALSE(fs.CopyOver(PathOf("folder"), PathOf("folder/a"), 0, &stamp).ok());
  EXPECT_TRUE(fs.CopyOver(PathOf("file"), PathOf("folder/a"), 0, &stamp).ok());
  EXPECT_FALSE(std::filesystem::exists(PathOf("folder/a")));
}

}  // namespace
