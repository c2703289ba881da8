// A destination whose disk fails while the copies are written back: its file system is ext2 on
// a loop device whose image lies on a tmpfs too small for it, so the copies land in the page
// cache and the flush after them fails with an I/O error. The run names the flush, holds back
// every master copy, and the next run, on a sound destination, hands everything out again.
#include <sys/mount.h>
#include <unistd.h>

#include <random>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

constexpr char kMke2fs[] = "/sbin/mke2fs";
constexpr char kMount[] = "/bin/mount";

class FlushFailureTest : public ReliabilityTest {
 protected:
  void TearDown() override {
    if (loop_mounted_)
      umount2(PathOf("dest1").c_str(), MNT_DETACH);
    disk_.reset();
    ReliabilityTest::TearDown();
  }

  // Mounts on dest1 an ext2 file system of 16 MiB whose image has room for 1 MiB only.
  void MountFailingDisk() {
    if (geteuid() != 0)
      GTEST_SKIP() << "mounting needs root";
    MakeFolder("disk");
    MakeFolder("dest1");
    disk_ = std::make_unique<TmpfsMount>(PathOf("disk"), "size=1m");
    if (!disk_->mounted())
      GTEST_SKIP() << disk_->refusal();
    const std::string image = PathOf("disk/image");
    ASSERT_EQ(truncate(WriteFile("disk/image", "").c_str(), 16 << 20), 0);
    std::string err;
    if (RunToEnd({kMke2fs, "-q", "-F", "-t", "ext2", "-b", "1024", image}, "", nullptr, &err)
            .exit_code != 0) {
      GTEST_SKIP() << "mke2fs: " << err;
    }
    if (RunToEnd({kMount, "-o", "loop", image, PathOf("dest1")}, "", nullptr, &err).exit_code !=
        0) {
      GTEST_SKIP() << "no loop device: " << err;
    }
    loop_mounted_ = true;
  }

  std::unique_ptr<TmpfsMount> disk_;
  bool loop_mounted_ = false;
};

TEST_F(FlushFailureTest, AFailedFlushIsReportedAndHoldsBackEveryMasterCopy) {
  MountFailingDisk();
  if (IsSkipped())
    return;
  std::mt19937_64 random{std::random_device{}()};
  for (const char* name : {"a.bin", "b.bin", "sub/c.bin"}) {
    std::string content(1 << 20, '\0');
    for (char& c : content) c = static_cast<char>(random());
    PutFile(WriteFile(std::string("src/") + name, ""), content, kBaseTimeNs);
  }
  const std::string settings = WriteDefaultSettings();

  RunResult failed = Run(settings);

  EXPECT_EQ(failed.ended.exit_code, 3);
  // Named by the first folder of the file system that received a copy.
  EXPECT_EQ(failed.ErrLinesWith("parlocon: flush " + PathOf("dest1") + "//sub: Input/output error"),
            1)
      << failed.err;
  EXPECT_EQ(failed.ErrLinesWith(": its copies could not be flushed to disk"), 3) << failed.err;
  EXPECT_EQ(failed.err_lines.size(), 4u) << failed.err;
  EXPECT_THAT(ReadTree(PathOf("master")).files, ::testing::IsEmpty());

  // The disk is replaced: the master held nothing back in vain.
  ASSERT_EQ(umount2(PathOf("dest1").c_str(), 0), 0);
  loop_mounted_ = false;
  RunResult rerun = Run(settings);
  EXPECT_EQ(rerun.ended.exit_code, 0) << rerun.err;
  EXPECT_THAT(TargetDifferences(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace reliability
