// A small RAM file system mounted on a test's folder, so "disk full" is the real thing.
#pragma once

#include <string>

namespace reliability {

class TmpfsMount {
 public:
  // Mounts on the existing folder `path` with mount options such as "size=1m".
  TmpfsMount(std::string path, const std::string& options);
  TmpfsMount(const TmpfsMount&) = delete;
  TmpfsMount& operator=(const TmpfsMount&) = delete;
  ~TmpfsMount() { Unmount(); }

  bool mounted() const { return mounted_; }
  // Why mounting was refused, for the skip message.
  const std::string& refusal() const { return refusal_; }
  // Changes the limits in place; the files stay.
  bool Remount(const std::string& options);
  void Unmount();

 private:
  std::string path_;
  bool mounted_ = false;
  std::string refusal_;
};

}  // namespace reliability
