// A folder shown again at another place through FUSE (bindfs), for a file system that keeps
// its own rules: among them, no unnamed files (O_TMPFILE), as on network and FAT file systems.
#pragma once

#include <string>

namespace reliability {

class FuseBind {
 public:
  // Shows the existing folder `store` at the existing folder `mount_point`.
  FuseBind(const std::string& store, std::string mount_point);
  FuseBind(const FuseBind&) = delete;
  FuseBind& operator=(const FuseBind&) = delete;
  ~FuseBind();

  bool mounted() const { return mounted_; }
  // Why mounting was refused, for the skip message.
  const std::string& refusal() const { return refusal_; }

 private:
  std::string mount_point_;
  bool mounted_ = false;
  std::string refusal_;
};

}  // namespace reliability
