#include "tests/reliability/support/fuse_bind.h"

#include <sys/mount.h>
#include <unistd.h>

#include "tests/reliability/support/process.h"

namespace reliability {

FuseBind::FuseBind(const std::string& store, std::string mount_point)
    : mount_point_(std::move(mount_point)) {
  static constexpr char kBindfs[] = "/usr/bin/bindfs";
  if (access(kBindfs, X_OK) != 0) {
    refusal_ = "bindfs is not installed (package bindfs)";
    return;
  }
  std::string err;
  const Ended ended = RunToEnd({kBindfs, store, mount_point_}, "", nullptr, &err);
  mounted_ = ended.exit_code == 0;
  if (!mounted_)
    refusal_ = "bindfs " + store + " " + mount_point_ + ": " + err;
}

FuseBind::~FuseBind() {
  // A lazy unmount as the last resort: a mount must never outlive its test.
  if (mounted_ && umount2(mount_point_.c_str(), 0) != 0)
    umount2(mount_point_.c_str(), MNT_DETACH);
}

}  // namespace reliability
