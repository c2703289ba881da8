#include "engine/platform/posix/read_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "engine/platform/posix/posix_io.h"

namespace platform {
namespace {

constexpr off_t kMaxTextSize = 64 << 20;

}  // namespace

IoResult ReadTextFile(const std::string& path, std::string* text) {
  const std::string what = "read " + path;
  if (path.empty())
    return Failed(what, ENOENT);
  Fd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0)
    return Failed(what, errno);
  struct stat st;
  if (fstat(fd.get(), &st) != 0)
    return Failed(what, errno);
  if (S_ISDIR(st.st_mode))
    return Failed(what, EISDIR);
  if (!S_ISREG(st.st_mode)) {
    IoResult r = Failed(what, EINVAL);
    r.message = what + ": not a regular file";
    return r;
  }
  if (st.st_size > kMaxTextSize)
    return Failed(what, EFBIG);
  text->clear();
  char chunk[16384];
  for (;;) {
    ssize_t n = read(fd.get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return Failed(what, errno);
    if (n == 0)
      break;
    text->append(chunk, static_cast<size_t>(n));
    if (text->size() > static_cast<size_t>(kMaxTextSize))
      return Failed(what, EFBIG);
  }
  return {};
}

}  // namespace platform
