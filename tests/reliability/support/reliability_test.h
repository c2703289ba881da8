// The fixture of the fault suite: a fresh folder, a settings file naming a source, destinations
// and a master in it, and the real parlocon run on them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/reliability/support/process.h"
#include "tests/reliability/support/tmpfs_mount.h"
#include "tests/reliability/support/tree.h"
#include "tests/support/temp_dir_test.h"

namespace reliability {

// 2023-06-01 12:00:00 UTC; tests give their files times from here on.
inline constexpr int64_t kBaseTimeNs = 1685620800LL * 1000000000;
inline constexpr int64_t kSecondNs = 1000000000;

struct RunResult {
  Ended ended;
  std::string out;
  std::string err;
  std::vector<std::string> err_lines;
  // The number of standard-error lines that contain `text`.
  int ErrLinesWith(const std::string& text) const;
};

class ReliabilityTest : public testing_support::TempDirTest {
 protected:
  void TearDown() override;

  // Puts the test's folder on a tmpfs of this size, for tests that create and copy many
  // thousands of files: this machine's disk makes each new file cost a millisecond, which
  // says nothing about the program. Stays on disk where mounting is refused.
  void MoveIntoRam(const std::string& size);

  // Writes job.bfs with these folders (absolute paths) and returns its path.
  std::string WriteSettings(const std::string& source, const std::string& master,
                            const std::vector<std::string>& destinations);
  // The usual layout: src, dest1, dest2 and master under the test's folder.
  std::string WriteDefaultSettings();
  std::vector<std::string> Targets() const {
    return {PathOf("dest1"), PathOf("dest2"), PathOf("master")};
  }

  std::vector<std::string> Command(const std::string& settings) const;
  RunResult Run(const std::string& settings, bool as_nobody = false);

  // `text` with {root}, {src}, {dest1}, {dest2} and {master} replaced by their paths.
  std::string FillPaths(std::string text) const;

  // Every target against the source: the differences, each line prefixed by the target,
  // and every temporary file left in the source or a target.
  std::vector<std::string> TargetDifferences();

 private:
  std::unique_ptr<TmpfsMount> ram_;
};

}  // namespace reliability
