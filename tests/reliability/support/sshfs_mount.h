// A folder of the test's SSH server mounted with sshfs, as a user mounts a folder of another
// machine. Unmounted with the object.
#pragma once

#include <string>

#include "tests/reliability/support/ssh_server.h"

namespace reliability {

class SshfsMount {
 public:
  // Mounts `server_folder` (an absolute path on the server) on the existing `mount_point`.
  SshfsMount(const SshServer& server, const std::string& server_folder, std::string mount_point);
  SshfsMount(const SshfsMount&) = delete;
  SshfsMount& operator=(const SshfsMount&) = delete;
  ~SshfsMount();

  bool mounted() const { return mounted_; }
  const std::string& refusal() const { return refusal_; }

 private:
  std::string mount_point_;
  bool mounted_ = false;
  std::string refusal_;
};

// Why sshfs mounts cannot be had on this machine, or empty when they can.
std::string SshfsUnavailable();

}  // namespace reliability
