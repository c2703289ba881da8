// ForceFolder on Windows paths: drives, roots and doubled backslashes.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/force_folder.h"
#include "tests/support/temp_dir_test.h"

namespace {

class ForceFolderWindowsTest : public testing_support::TempDirTest {
 protected:
  bool IsFolder(const std::string& path) {
    DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
  }
};

TEST_F(ForceFolderWindowsTest, CreatesMissingParentsAlsoAfterADoubledBackslash) {
  for (const std::string& path : {PathOf("a\\b\\c"), PathOf("d\\\\sub\\"), PathOf("e/f\\g")}) {
    EXPECT_TRUE(engine::ForceFolder(path)) << path;
    EXPECT_TRUE(IsFolder(path)) << path;
  }
  EXPECT_TRUE(IsFolder(PathOf("d")));
  EXPECT_TRUE(IsFolder(PathOf("e")));
}

TEST_F(ForceFolderWindowsTest, RootsAndDrivesCountAsExisting) {
  for (const char* path : {"", "\\", "Z:", "Z:\\", "Z:\\\\"}) {
    EXPECT_TRUE(engine::ForceFolder(path)) << path;
  }
}

TEST_F(ForceFolderWindowsTest, AFileInTheWayIsAFailureWithItsReason) {
  WriteFile("file.txt", "x");
  platform::IoResult failure;
  EXPECT_FALSE(engine::ForceFolder(platform::DefaultFileSystem(), PathOf("file.txt\\sub\\deeper"),
                                   &failure));
  EXPECT_EQ(failure.message.rfind("create folder " + PathOf("file.txt"), 0), 0u) << failure.message;
}

}  // namespace
