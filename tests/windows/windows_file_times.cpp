#include <windows.h>

#include "tests/support/file_times.h"

namespace testing_support {

bool SetFileTimes(const std::string& path, long long seconds, long nanoseconds) {
  // FILETIME counts 100-nanosecond steps from 1601-01-01.
  const long long kSeconds1601To1970 = 11644473600LL;
  unsigned long long ticks = static_cast<unsigned long long>(
      (seconds + kSeconds1601To1970) * 10000000LL + nanoseconds / 100);
  FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  bool done = SetFileTime(file, nullptr, &time, &time) != 0;
  CloseHandle(file);
  return done;
}

}  // namespace testing_support
