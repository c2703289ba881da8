// Small pieces the POSIX file system's files share: a descriptor that closes itself, and the
// failure result in the engine's words.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "engine/platform/file_system.h"

namespace platform {

// Causes that may be gone a little later. EIO is one only on a network file system, which the
// copy asks itself (CopyOverAtomically).
inline bool MayPass(int code) {
  switch (code) {
    case EBUSY:        // a mount point in the way, a device in use
    case ETXTBSY:      // a program running from the file
    case EWOULDBLOCK:  // a lease another program holds (a file server's lock)
    case ENOSPC:
    case EDQUOT:
    case ENOLCK:
    case ESTALE:
    case ETIMEDOUT:
    case ECONNRESET:
    case ECONNABORTED:
    case ENOTCONN:
    case ENETDOWN:
    case ENETUNREACH:
    case EHOSTDOWN:
    case EHOSTUNREACH:
      return true;
    default:
      return false;
  }
}

inline IoResult Failed(const std::string& what, int code) {
  IoResult r;
  r.os_code = code == 0 ? EIO : code;
  r.not_found = code == ENOENT || code == ENOTDIR;
  r.no_space = code == ENOSPC || code == EDQUOT;
  r.may_pass = MayPass(code);
  r.message = what + ": " + std::strerror(r.os_code);
  return r;
}

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Reset(); }
  int get() const { return fd_; }
  int Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Reset(int fd = -1) {
    if (fd_ >= 0)
      close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

inline std::string ParentOf(const std::string& path) {
  size_t cut = path.rfind('/');
  if (cut == std::string::npos)
    return ".";
  if (cut == 0)
    return "/";
  return path.substr(0, cut);
}

}  // namespace platform
