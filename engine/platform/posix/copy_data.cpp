#include "engine/platform/posix/copy_data.h"

#include <unistd.h>

#include <algorithm>
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

int CopyData(int from, int to, off_t size, CopyBuffer& buffer) {
  // In-kernel copy first (a reflink where the file system shares extents); file systems and
  // kernels that refuse it fall back to plain reads and writes from where it stopped. The copy
  // ends at the size the file had when it was opened, or earlier if it shrank meanwhile.
  off_t copied = 0;
  while (copied < size) {
    ssize_t n = copy_file_range(from, nullptr, to, nullptr, static_cast<size_t>(size - copied), 0);
    if (n > 0) {
      copied += n;
      continue;
    }
    if (n == 0) return 0;
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != ENOSYS && errno != EOPNOTSUPP && errno != EINVAL &&
        errno != EPERM) {
      return errno;
    }
    break;
  }
  while (copied < size) {
    size_t want = static_cast<size_t>(std::min<off_t>(size - copied, CopyBuffer::kSize));
    ssize_t n = read(from, buffer.data(), want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return 0;
    if (int err = WriteAll(to, buffer.data(), static_cast<size_t>(n))) return err;
    copied += n;
  }
  return 0;
}

}  // namespace platform
