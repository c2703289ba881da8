#include "console/std_output.h"

#include <algorithm>
#include <cstring>

#include "engine/platform/std_streams.h"

namespace console {

// Started without this output at all, a buffer would hide that until it fills while the run
// went on copying; the first line fails instead, before any work is done.
StdOutput::StdOutput(int fd)
    : fd_(fd), immediate_(platform::WritesAtOnce(fd)), missing_(platform::MissingStream(fd)) {}

int StdOutput::Append(std::string_view bytes) {
  int failure = 0;
  while (!bytes.empty()) {
    size_t n = std::min(bytes.size(), kBufferSize - used_);
    std::memcpy(buffer_ + used_, bytes.data(), n);
    used_ += n;
    bytes.remove_prefix(n);
    if (used_ == kBufferSize) {
      int err = platform::WriteStream(fd_, std::string_view(buffer_, used_));
      used_ = 0;
      if (failure == 0)
        failure = err;
    }
  }
  return failure;
}

int StdOutput::WriteLine(std::string_view text) {
  if (missing_ != 0)
    return missing_;
  int failure = Append(text);
  int err = Append("\r\n");
  if (failure == 0)
    failure = err;
  if (immediate_) {
    err = Flush();
    if (failure == 0)
      failure = err;
  }
  return failure;
}

int StdOutput::Flush() {
  int err = used_ == 0 ? 0 : platform::WriteStream(fd_, std::string_view(buffer_, used_));
  used_ = 0;
  return err;
}

}  // namespace console
