// Moving a file's bytes from one descriptor to another, inside the kernel where it can, and
// keeping the holes of a sparse file.
#pragma once

#include <sys/stat.h>
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

// Copies the file `from`, whose status when opened is `st`, into the empty file `to`: its
// st_size bytes, fewer if it ends sooner now. Where `from` has holes and the file system tells
// where they are (SEEK_DATA, SEEK_HOLE), only its data is copied and `to` keeps the holes.
// Returns 0 or the errno of the failure.
int CopyData(int from, int to, const struct stat& st, CopyBuffer& buffer);
// Writes all of `size` bytes. Returns 0 or the errno of the failure.
int WriteAll(int fd, const char* data, size_t size);
// The same at `offset`, leaving the file offset alone; at the file offset when `offset` is
// negative.
int WriteAllAt(int fd, const char* data, size_t size, off_t offset);

}  // namespace platform
