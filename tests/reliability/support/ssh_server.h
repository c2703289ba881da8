// An OpenSSH server of the test's own on a loopback port, with throw-away host and client keys
// in the test's folder, so that folders of "another machine" can be mounted with sshfs. It runs
// as root (only root's server can serve root's files), stops with the object, and dies with
// the test program should that end first.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace reliability {

class SshServer {
 public:
  // Makes the keys and the server's settings in `folder` (it must exist) and starts it.
  explicit SshServer(std::string folder);
  SshServer(const SshServer&) = delete;
  SshServer& operator=(const SshServer&) = delete;
  ~SshServer() { Kill(); }

  bool running() const { return listener_ > 0; }
  // Why the server could not be had, for the skip message.
  const std::string& refusal() const { return refusal_; }
  int port() const { return port_; }
  const std::string& client_key() const { return client_key_; }

  // Ends the server at once, the sessions it serves too, as a crash or a power cut would.
  void Kill();
  // Starts it again on the same port. False (with refusal()) when it does not come up.
  bool Start();
  // The processes serving file requests at the moment (one per mount).
  std::vector<pid_t> Sessions() const;

 private:
  std::string folder_;
  std::string client_key_;
  std::string refusal_;
  int port_ = 0;
  pid_t listener_ = -1;
};

}  // namespace reliability
