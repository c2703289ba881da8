// Which file systems count as network ones, where an input/output error may pass and a copy is
// tried again: a FUSE file system (bindfs here, as sshfs is one) does, the disk and a tmpfs do
// not.
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

}  // namespace
}  // namespace reliability
