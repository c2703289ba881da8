#include "tests/reliability/support/tmpfs_mount.h"

#include <sys/mount.h>

#include <cerrno>
#include <cstring>

namespace reliability {

TmpfsMount::TmpfsMount(std::string path, const std::string& options) : path_(std::move(path)) {
  if (mount("tmpfs", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0) {
    mounted_ = true;
  } else {
    refusal_ = "mount -t tmpfs -o " + options + " " + path_ + ": " + std::strerror(errno);
  }
}

bool TmpfsMount::Remount(const std::string& options) {
  return mounted_ && mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | MS_NOSUID | MS_NODEV,
                           options.c_str()) == 0;
}

void TmpfsMount::Unmount() {
  if (!mounted_)
    return;
  // A lazy unmount as the last resort: a mount must never outlive its test.
  if (umount2(path_.c_str(), 0) != 0)
    umount2(path_.c_str(), MNT_DETACH);
  mounted_ = false;
}

}  // namespace reliability
