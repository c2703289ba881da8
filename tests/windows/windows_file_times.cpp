#include <windows.h>

#include "tests/support/file_times.h"

namespace testing_support {

namespace {

// FILETIME counts 100-nanosecond steps from 1601-01-01.
constexpr long long kSeconds1601To1970 = 11644473600LL;

}  // namespace

bool SetFileTimes(const std::string& path, long long seconds, long nanoseconds) {
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

std::string WriteTimeText(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
    return "missing";
  const long long ticks = static_cast<long long>(
      (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
      data.ftLastWriteTime.dwLowDateTime);
  return std::to_string(ticks / 10000000 - kSeconds1601To1970) + "." +
         std::to_string(ticks % 10000000 * 100);
}

unsigned PermissionBits(const std::string& path) {
  DWORD attr = GetFileAttributesA(path.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES)
    return 0xFFFFFFFF;
  return (attr & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
}

}  // namespace testing_support
