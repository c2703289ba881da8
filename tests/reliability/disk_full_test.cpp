// A target on a full file system: the copies that fit are complete, the one that does not
// leaves the old file and no temporary behind, the master waits, and once there is room the
// next run completes every target.
#include <random>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"
#include "tests/reliability/support/tmpfs_mount.h"

namespace reliability {
namespace {

struct DiskFullCase {
  const char* name;
  int full_target;                   // index into Targets(); the last one is the master
  const char* limits;                // the tmpfs that fills up
  const char* roomy_limits;          // the same tmpfs after space is freed
  std::vector<std::string> failing;  // files whose copy into the full target must fail
};

void PrintTo(const DiskFullCase& c, std::ostream* os) {
  *os << c.name;
}

class DiskFullTest : public ReliabilityTest, public ::testing::WithParamInterface<DiskFullCase> {
 protected:
  void TearDown() override {
    mount_.reset();
    ReliabilityTest::TearDown();
  }

  std::string Bytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
  }

  std::unique_ptr<TmpfsMount> mount_;
};

TEST_P(DiskFullTest, KeepsEveryTargetWholeAndCompletesOnceThereIsRoom) {
  const DiskFullCase& c = GetParam();
  const std::vector<std::string> targets = Targets();
  const std::string full = targets[c.full_target];
  const bool full_is_master = c.full_target + 1 == static_cast<int>(targets.size());
  for (const std::string& t : targets) MakeFolder(t.substr(root_.string().size() + 1));
  mount_ = std::make_unique<TmpfsMount>(full, c.limits);
  if (!mount_->mounted())
    GTEST_SKIP() << "cannot mount a tmpfs here: " << mount_->refusal();

  MakeFolder("src/a");
  for (int i = 1; i <= 5; ++i) {
    PutFile(PathOf("src/a/s" + std::to_string(i)), Bytes(100000, i), kBaseTimeNs + i * kSecondNs);
  }
  PutFile(PathOf("src/big.bin"), Bytes(10000, 10), kBaseTimeNs);
  const std::string settings = WriteDefaultSettings();
  RunResult first = Run(settings);
  ASSERT_EQ(first.ended.exit_code, 0) << first.err;
  ASSERT_THAT(TargetDifferences(), ::testing::IsEmpty());

  // A new version of the big file no longer fits; a new small file still does.
  const Tree before = ReadTree(full);
  PutFile(PathOf("src/big.bin"), Bytes(2 << 20, 11), kBaseTimeNs + 100 * kSecondNs);
  PutFile(PathOf("src/a/s6"), Bytes(100000, 6), kBaseTimeNs + 6 * kSecondNs);
  RunResult filled = Run(settings);

  EXPECT_EQ(filled.ended.exit_code, 3);
  const Tree source = ReadTree(PathOf("src"));
  const Tree master_before_refill = ReadTree(PathOf("master"));
  for (const std::string& f : c.failing) {
    const std::string src = PathOf("src") + "/" + f;
    EXPECT_EQ(filled.ErrLinesWith("parlocon: copy " + src + " -> " + full + "//" + f +
                                  ": No space left on device"),
              1)
        << filled.err;
    EXPECT_EQ(filled.ErrLinesWith("parlocon: master copy held back for " + src + ":"),
              full_is_master ? 0 : 1)
        << filled.err;
  }
  EXPECT_EQ(filled.err_lines.size(), c.failing.size() * (full_is_master ? 1 : 2)) << filled.err;

  // The full target holds the old version (or nothing) of each failed file and the new
  // version of everything else; the master holds nothing newer than every destination.
  for (const std::string& target : targets) {
    const Tree now = ReadTree(target);
    EXPECT_THAT(now.temporaries, ::testing::IsEmpty()) << target;
    for (const auto& [path, state] : source.files) {
      const bool failed = std::count(c.failing.begin(), c.failing.end(), path) > 0;
      const bool behind = failed && (target == full || target == PathOf("master"));
      auto old_it = before.files.find(path);
      auto now_it = now.files.find(path);
      if (!behind) {
        EXPECT_TRUE(now_it != now.files.end() && now_it->second == state) << target << " " << path;
      } else if (old_it == before.files.end()) {
        EXPECT_TRUE(now_it == now.files.end()) << target << " " << path;
      } else {
        EXPECT_TRUE(now_it != now.files.end() && now_it->second == old_it->second)
            << target << " " << path;
      }
    }
  }

  ASSERT_TRUE(mount_->Remount(c.roomy_limits));
  RunResult refilled = Run(settings);
  EXPECT_EQ(refilled.ended.exit_code, 0) << refilled.err;
  EXPECT_EQ(refilled.err, "");
  EXPECT_THAT(TargetDifferences(), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DiskFullTest,
    ::testing::Values(DiskFullCase{"DestinationOutOfSpace", 0, "size=1m", "size=8m", {"big.bin"}},
                      DiskFullCase{"MasterOutOfSpace", 2, "size=1m", "size=8m", {"big.bin"}},
                      // Room for the first run's files, none for a temporary file next to them.
                      DiskFullCase{"DestinationOutOfInodes",
                                   1,
                                   "size=8m,nr_inodes=8",
                                   "size=8m,nr_inodes=64",
                                   {"a/s6", "big.bin"}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace reliability
