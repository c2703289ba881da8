#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "engine/platform/std_streams.h"

namespace platform {

const char kProgramFileSuffix[] = "";
const char kTextLineEnd[] = "\n";

bool WritesAtOnce(int stream) {
  return isatty(stream) == 1;
}

int MissingStream(int stream) {
  return fcntl(stream, F_GETFD) < 0 ? errno : 0;
}

int WriteStream(int stream, std::string_view bytes) {
  const char* data = bytes.data();
  size_t size = bytes.size();
  while (size > 0) {
    ssize_t n = write(stream, data, size);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return errno;
    if (n == 0)
      return EIO;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return 0;
}

std::string OutputErrorText(int code) {
  switch (code) {
    case ENOENT:
      return "File not found";
    case EMFILE:
      return "Too many open files";
    case EACCES:
    case EPERM:
      return "File access denied";
    case ENOSPC:
      return "Disk full";
    default:
      return "I/O error " + std::to_string(code);
  }
}

}  // namespace platform
