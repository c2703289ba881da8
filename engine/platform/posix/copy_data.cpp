#include "engine/platform/posix/copy_data.h"

#include <unistd.h>

#include <cerrno>

namespace platform {

char* CopyBuffer::data() {
  if (!bytes_) bytes_ = std::make_unique<char[]>(kSize);
  return bytes_.get();
}

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

int CopyData(int from, int to, CopyBuffer& buffer) {
  // In-kernel copy first (a reflink where the file system shares extents); file systems and
  // kernels that refuse it fall back to plain reads and writes from where it stopped.
  for (;;) {
    ssize_t n = copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
    if (n > 0) continue;
    if (n == 0) return 0;
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != ENOSYS && errno != EOPNOTSUPP && errno != EINVAL &&
        errno != EPERM) {
      return errno;
    }
    break;
  }
  for (;;) {
    ssize_t n = read(from, buffer.data(), CopyBuffer::kSize);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return 0;
    if (int err = WriteAll(to, buffer.data(), static_cast<size_t>(n))) return err;
  }
}

}  // namespace platform
