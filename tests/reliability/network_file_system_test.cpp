// Which file systems count as network ones, where an input/output error may pass and a copy is
// tried again: a FUSE file system (bindfs here, as sshfs is one) does, the disk and a tmpfs do
// not.
#include <atomic>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/platform/posix/posix_copy.h"
#include "tests/reliability/support/fuse_bind.h"
#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

class NetworkFileSystemTest : public ReliabilityTest {};

TEST_F(NetworkFileSystemTest, FuseCountsTheDiskAndATmpfsDoNot) {
  MakeFolder("store");
  MakeFolder("fuse");
  MakeFolder("ram");
  EXPECT_FALSE(platform::OnNetworkFileSystem(PathOf("store")));
  EXPECT_FALSE(platform::OnNetworkFileSystem(PathOf("missing")));
  TmpfsMount ram(PathOf("ram"), "size=1m");
  if (ram.mounted()) {
    EXPECT_FALSE(platform::OnNetworkFileSystem(PathOf("ram")));
  }
  FuseBind fuse(PathOf("store"), PathOf("fuse"));
  if (!fuse.mounted())
    GTEST_SKIP() << fuse.refusal();
  WriteFile("store/a.txt", "a");
  EXPECT_TRUE(platform::OnNetworkFileSystem(PathOf("fuse")));
  EXPECT_TRUE(platform::OnNetworkFileSystem(PathOf("fuse/a.txt")));
}

// A run cleans a folder of left-over temporary files on its first copy into it while its other
// lanes copy into the same folder. On a shared file system a new temporary name is bound to its
// place from the start, so the cleaner must never take one whose copy has yet to lock it.
TEST_F(NetworkFileSystemTest, CleaningBesideCopiesNeverTakesACopyUnderWay) {
  MakeFolder("store");
  MakeFolder("fuse");
  WriteFile("a.txt", std::string(4096, 'a'));
  FuseBind fuse(PathOf("store"), PathOf("fuse"));
  if (!fuse.mounted())
    GTEST_SKIP() << fuse.refusal();
  platform::FileSystem& fs = platform::DefaultFileSystem();
  std::atomic<bool> done{false};
  std::thread cleaner([&] {
    while (!done) fs.RemoveStaleTemporaries(PathOf("fuse"));
  });
  std::vector<std::string> failures;
  for (int i = 0; i < 3000 && failures.empty(); ++i) {
    platform::SourceStamp stamp = 0;
    const platform::IoResult copied =
        fs.CopyOver(PathOf("a.txt"), PathOf("fuse/a" + std::to_string(i % 8)), 0, &stamp);
    if (!copied.ok())
      failures.push_back(copied.message);
  }
  done = true;
  cleaner.join();
  EXPECT_THAT(failures, ::testing::IsEmpty());
}

}  // namespace
}  // namespace reliability
