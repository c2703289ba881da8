// A fresh folder per test under the system's temporary folder, removed afterwards, so tests
// that run in parallel never share one.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace testing_support {

class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Absolute path of `relative` inside the test's folder.
  std::string PathOf(const std::string& relative = "") const;
  // Writes a file, creating its folders; returns its absolute path.
  std::string WriteFile(const std::string& relative, const std::string& content);
  std::string ReadFile(const std::string& relative) const;
  void MakeFolder(const std::string& relative);
  // Sets the last-write time, in seconds since 1970.
  void SetTime(const std::string& relative, long long seconds, long nanoseconds = 0);
  // The last-write time as "seconds.nanoseconds", and the permission bits, of what the path
  // names after following links.
  std::string TimeOf(const std::string& relative) const;
  unsigned ModeOf(const std::string& relative) const;
  // Every entry below `relative`, sorted, folders with a trailing "/"; links are not followed.
  std::vector<std::string> ListTree(const std::string& relative) const;

  std::filesystem::path root_;
};

}  // namespace testing_support
