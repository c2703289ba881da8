#include "tests/support/temp_dir_test.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "tests/support/file_times.h"

namespace testing_support {

void TempDirTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::random_device random;
  std::string name = std::string("parlowen-") + info->test_suite_name() + "-" + info->name() + "-" +
                     std::to_string(random());
  for (char& c : name) {
    if (c == '/')
      c = '_';
  }
  // TEST_TMPDIR moves the tests' folders elsewhere, e.g. onto another drive.
  const char* base = std::getenv("TEST_TMPDIR");
  root_ = (base != nullptr && *base != 0 ? std::filesystem::path(base)
                                         : std::filesystem::temp_directory_path()) /
          name;
  std::filesystem::create_directories(root_);
}

void TempDirTest::TearDown() {
  std::error_code ignored;
  // Read-only folders left by a test must not stop the clean-up.
  for (auto it = std::filesystem::recursive_directory_iterator(root_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(root_, ignored);
}

std::string TempDirTest::PathOf(const std::string& relative) const {
  return relative.empty() ? root_.string() : (root_ / relative).make_preferred().string();
}

std::string TempDirTest::WriteFile(const std::string& relative, const std::string& content) {
  std::filesystem::path path = root_ / relative;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
  return path.string();
}

std::string TempDirTest::ReadFile(const std::string& relative) const {
  std::ifstream in(root_ / relative, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void TempDirTest::MakeFolder(const std::string& relative) {
  std::filesystem::create_directories(root_ / relative);
}

void TempDirTest::SetTime(const std::string& relative, long long seconds, long nanoseconds) {
  ASSERT_TRUE(SetFileTimes(PathOf(relative), seconds, nanoseconds)) << relative;
}

std::string TempDirTest::TimeOf(const std::string& relative) const {
  return WriteTimeText(PathOf(relative));
}

unsigned TempDirTest::ModeOf(const std::string& relative) const {
  return PermissionBits(PathOf(relative));
}

std::vector<std::string> TempDirTest::ListTree(const std::string& relative) const {
  std::vector<std::string> entries;
  const std::filesystem::path top = root_ / relative;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(top, error);
       it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    std::string name = it->path().lexically_relative(top).string();
    if (it->is_directory() && !it->is_symlink())
      name += "/";
    entries.push_back(name);
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace testing_support
