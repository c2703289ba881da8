// Moving a file's bytes from one descriptor to another, inside the kernel where it can.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>

namespace platform {

// Scratch space for the read/write fallback, allocated on first use and then reused.
class CopyBuffer {
 public:
  char* data();
  static constexpr size_t kSize = 256 * 1024;

 private:
  std::unique_ptr<char[]> bytes_;
};

// Copies `size` bytes from the current offset of `from`, fewer if it ends sooner. Returns 0 or
// the errno of the failure.
int CopyData(int from, int to, off_t size, CopyBuffer& buffer);
// Writes all of `size` bytes. Returns 0 or the errno of the failure.
int WriteAll(int fd, const char* data, size_t size);

}  // namespace platform
