#include "tests/reliability/support/sshfs_mount.h"

#include <sys/mount.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "tests/reliability/support/process.h"

namespace reliability {
namespace {

constexpr char kSshfs[] = "/usr/bin/sshfs";

}  // namespace

std::string SshfsUnavailable() {
  if (access(kSshfs, X_OK) != 0)
    return "sshfs is not installed (package sshfs)";
  if (access("/dev/fuse", R_OK | W_OK) != 0)
    return "FUSE is not available here (/dev/fuse)";
  return "";
}

SshfsMount::SshfsMount(const SshServer& server, const std::string& server_folder,
                       std::string mount_point)
    : mount_point_(std::move(mount_point)) {
  refusal_ = SshfsUnavailable();
  if (!refusal_.empty())
    return;
  // As a user mounts a server for unattended runs: no questions asked, and a connection that
  // is lost is made again at the next request.
  const std::string options = "IdentityFile=" + server.client_key() +
                              ",port=" + std::to_string(server.port()) +
                              ",StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null,"
                              "BatchMode=yes,LogLevel=ERROR,reconnect";
  // The ssh client that sshfs leaves running keeps its standard error: a file, not a pipe
  // that would stay open for as long as the mount.
  const std::string log = mount_point_ + ".sshfs.log";
  const Ended ended =
      RunToEnd({"/bin/sh", "-c", "exec \"$0\" -o \"$1\" \"$2\" \"$3\" 2>\"$4\"", kSshfs, options,
                "root@127.0.0.1:" + server_folder, mount_point_, log},
               "", nullptr, nullptr);
  mounted_ = ended.exit_code == 0;
  if (!mounted_) {
    std::ifstream in(log);
    std::ostringstream text;
    text << in.rdbuf();
    refusal_ = "sshfs " + server_folder + " " + mount_point_ + ": " + text.str();
  }
}

SshfsMount::~SshfsMount() {
  // A lazy unmount as the last resort: a mount must never outlive its test.
  if (mounted_ && umount2(mount_point_.c_str(), 0) != 0)
    umount2(mount_point_.c_str(), MNT_DETACH);
}

}  // namespace reliability
