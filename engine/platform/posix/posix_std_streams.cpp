#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "engine/platform/posix/copy_data.h"
#include "engine/platform/std_streams.h"

namespace platform {
namespace {

// Set once, before any other thread exists: errno of each stream found closed at the start.
int missing_at_start[3] = {0, 0, 0};

bool IsStandard(int stream) {
  return stream >= kStdInput && stream <= kStdError;
}

int ClosedCode(int fd) {
  return fcntl(fd, F_GETFD) < 0 ? errno : 0;
}

// Puts a descriptor that takes reads and writes harmlessly onto `fd`; where even the null
// device is missing (a bare chroot), the root folder, on which every read and write fails.
void Occupy(int fd) {
  int opened = open("/dev/null", fd == kStdInput ? O_RDONLY : O_WRONLY);
  if (opened < 0)
    opened = open("/", O_PATH | O_DIRECTORY);
  if (opened < 0 || opened == fd)
    return;
  dup2(opened, fd);
  close(opened);
}

}  // namespace

const char kProgramFileSuffix[] = "";
const char kTextLineEnd[] = "\n";

void SecureStandardStreams() {
  // In order, so that an open lands on the lowest free slot, the one being mended.
  for (int fd = kStdInput; fd <= kStdError; ++fd) {
    const int code = ClosedCode(fd);
    if (code != EBADF)
      continue;
    missing_at_start[fd] = code;
    Occupy(fd);
  }
}

bool WritesAtOnce(int stream) {
  return isatty(stream) == 1;
}

int MissingStream(int stream) {
  if (IsStandard(stream) && missing_at_start[stream] != 0)
    return missing_at_start[stream];
  return ClosedCode(stream);
}

int WriteStream(int stream, std::string_view bytes) {
  if (IsStandard(stream) && missing_at_start[stream] != 0)
    return missing_at_start[stream];
  return WriteAll(stream, bytes.data(), bytes.size());
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
