#include "tests/reliability/support/network_test.h"

namespace reliability {

void NetworkTest::SetUp() {
  ReliabilityTest::SetUp();
  const std::string no_sshfs = SshfsUnavailable();
  if (!no_sshfs.empty())
    GTEST_SKIP() << no_sshfs;
  MakeFolder("ssh");
  MakeFolder("server");
  server_ = std::make_unique<SshServer>(PathOf("ssh"));
  if (!server_->running())
    GTEST_SKIP() << server_->refusal();
}

void NetworkTest::TearDown() {
  // The mounts first: their sshfs processes end with them, then the server.
  mounts_.clear();
  server_.reset();
  ReliabilityTest::TearDown();
}

bool NetworkTest::Mount(const std::string& served, const std::string& mount_point) {
  MakeFolder("server/" + served);
  MakeFolder(mount_point);
  auto mount = std::make_unique<SshfsMount>(*server_, OnServer(served), PathOf(mount_point));
  if (!mount->mounted()) {
    mount_refusal_ = mount->refusal();
    return false;
  }
  mounts_.push_back(std::move(mount));
  return true;
}

std::vector<std::string> NetworkTest::DifferencesFromSource(
    const std::vector<std::string>& folders) {
  const Tree source = ReadTree(PathOf("src"));
  std::vector<std::string> all;
  for (const std::string& folder : folders) {
    for (const std::string& line : Differences(source, ReadTree(folder))) {
      all.push_back(folder.substr(root_.string().size() + 1) + ": " + line);
    }
  }
  return all;
}

}  // namespace reliability
