#include "engine/platform/posix/copy_data.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform {
namespace {

// Copies the bytes at [start, end) of `from` to the same place in `to`, or those up to where
// `from` ends now if it shrank. In-kernel copy first (a reflink where the file system shares
// extents); file systems and kernels that refuse it fall back to plain reads and writes from
// where it stopped. `*reached` is where the copy ended.
int CopyRange(int from, int to, off_t start, off_t end, CopyBuffer& buffer, off_t* reached) {
  off_t in = start, out = start;
  *reached = start;
  while (in < end) {
    ssize_t n = copy_file_range(from, &in, to, &out, static_cast<size_t>(end - in), 0);
    if (n > 0)
      continue;
    if (n == 0) {
      *reached = in;
      return 0;
    }
    if (errno == EINTR)
      continue;
    if (errno != EXDEV && errno != ENOSYS && errno != EOPNOTSUPP && errno != EINVAL &&
        errno != EPERM) {
      return errno;
    }
    break;
  }
  while (in < end) {
    size_t want = static_cast<size_t>(std::min<off_t>(end - in, CopyBuffer::kSize));
    ssize_t n = pread(from, buffer.data(), want, in);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return errno;
    if (n == 0)
      break;
    if (int err = WriteAllAt(to, buffer.data(), static_cast<size_t>(n), in))
      return err;
    in += n;
  }
  *reached = in;
  return 0;
}

// Copies only the parts of [0, size) that hold data, so the copy has holes where the source
// has them, and gives it its length at the end.
int CopyWithHoles(int from, int to, off_t size, CopyBuffer& buffer) {
  off_t at = 0;
  while (at < size) {
    off_t data = lseek(from, at, SEEK_DATA);
    off_t hole = data < 0 ? -1 : lseek(from, data, SEEK_HOLE);
    if (data < 0 && errno == ENXIO)
      break;  // a hole up to the end, or the file ends sooner now
    if (data < 0 || hole < 0) {
      // The file system cannot tell where its holes are: the rest is copied whole.
      return CopyRange(from, to, at, size, buffer, &at);
    }
    if (data >= size)
      break;
    hole = std::min(hole, size);
    off_t reached = 0;
    if (int err = CopyRange(from, to, data, hole, buffer, &reached))
      return err;
    if (reached < hole)
      return 0;  // the file shrank meanwhile: the copy ends where its data ended
    at = hole;
  }
  // A hole at the end: the copy gets the length the source has, no more than `size`.
  struct stat st;
  if (fstat(from, &st) != 0)
    return errno;
  const off_t end = std::min(size, st.st_size);
  if (end > at && ftruncate(to, end) != 0)
    return errno;
  return 0;
}

}  // namespace

char* CopyBuffer::data() {
  if (!bytes_)
    bytes_ = std::make_unique<char[]>(kSize);
  return bytes_.get();
}

int WriteAll(int fd, const char* data, size_t size) {
  return WriteAllAt(fd, data, size, -1);
}

int WriteAllAt(int fd, const char* data, size_t size, off_t offset) {
  while (size > 0) {
    ssize_t n = offset < 0 ? write(fd, data, size) : pwrite(fd, data, size, offset);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return errno;
    if (n == 0)
      return EIO;
    data += n;
    size -= static_cast<size_t>(n);
    if (offset >= 0)
      offset += n;
  }
  return 0;
}

int CopyData(int from, int to, const struct stat& st, CopyBuffer& buffer) {
  // Fewer blocks than the length needs: the file may have holes. A file without is copied in
  // one piece, without asking where its data lies.
  if (st.st_blocks < (st.st_size + 511) / 512)
    return CopyWithHoles(from, to, st.st_size, buffer);
  off_t reached = 0;
  return CopyRange(from, to, 0, st.st_size, buffer, &reached);
}

}  // namespace platform
