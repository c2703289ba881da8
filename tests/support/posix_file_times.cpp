#include <fcntl.h>
#include <sys/stat.h>

#include "tests/support/file_times.h"

namespace testing_support {

bool SetFileTimes(const std::string& path, long long seconds, long nanoseconds) {
  struct timespec times[2];
  times[0].tv_sec = static_cast<time_t>(seconds);
  times[0].tv_nsec = nanoseconds;
  times[1] = times[0];
  return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

std::string WriteTimeText(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0)
    return "missing";
  return std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
}

unsigned PermissionBits(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0)
    return 0xFFFFFFFF;
  return st.st_mode & 07777;
}

}  // namespace testing_support
