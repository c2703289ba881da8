#include "console/std_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace console {
namespace {

int WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return 0;
}

}  // namespace

StdOutput::StdOutput(int fd) : fd_(fd), immediate_(isatty(fd) == 1) {
  // Started without this output at all: a buffer would hide that until it fills, while the
  // run went on copying. The first line must fail instead, before any work is done.
  if (fcntl(fd, F_GETFD) < 0) missing_ = errno;
}

int StdOutput::Append(std::string_view bytes) {
  int failure = 0;
  while (!bytes.empty()) {
    size_t n = std::min(bytes.size(), kBufferSize - used_);
    std::memcpy(buffer_ + used_, bytes.data(), n);
    used_ += n;
    bytes.remove_prefix(n);
    if (used_ == kBufferSize) {
      int err = WriteAll(fd_, buffer_, used_);
      used_ = 0;
      if (failure == 0) failure = err;
    }
  }
  return failure;
}

int StdOutput::WriteLine(std::string_view text) {
  if (missing_ != 0) return missing_;
  int failure = Append(text);
  int err = Append("\r\n");
  if (failure == 0) failure = err;
  if (immediate_) {
    err = Flush();
    if (failure == 0) failure = err;
  }
  return failure;
}

int StdOutput::Flush() {
  int err = used_ == 0 ? 0 : WriteAll(fd_, buffer_, used_);
  used_ = 0;
  return err;
}

}  // namespace console
