// The fixture of the network cases: the test's own SSH server on a loopback port, its folders
// under "server/" in the test's folder, and sshfs mounts of them where a job names its
// destinations, as a user distributes to other machines. Skipped with the reason where the
// server, sshfs or FUSE cannot be had; everything started is stopped, also when a test fails.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/reliability/support/reliability_test.h"
#include "tests/reliability/support/ssh_server.h"
#include "tests/reliability/support/sshfs_mount.h"

namespace reliability {

class NetworkTest : public ReliabilityTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Mounts the server's folder server/<served> (made if missing) on the test's folder
  // <mount_point> (made too). A second mount of one folder stands for a second machine.
  // False, with the reason in mount_refusal_, when it failed.
  bool Mount(const std::string& served, const std::string& mount_point);
  // The server's own path of its folder server/<served>.
  std::string OnServer(const std::string& served) const { return PathOf("server/" + served); }
  // Each of the server's folders (and local folders, by their path) against the source, read
  // on the server's side: the differences, each prefixed by the folder, and every temporary
  // file left.
  std::vector<std::string> DifferencesFromSource(const std::vector<std::string>& folders);

  std::unique_ptr<SshServer> server_;
  std::vector<std::unique_ptr<SshfsMount>> mounts_;
  std::string mount_refusal_;
};

}  // namespace reliability
