#include <windows.h>

#include <algorithm>

#include "engine/platform/std_streams.h"
#include "engine/platform/win32/win32_std_handles.h"

namespace platform {
namespace {

HANDLE HandleOf(int stream) {
  return GetStdHandle(stream == kStdError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
}

bool Usable(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

}  // namespace

const char kProgramFileSuffix[] = ".exe";

bool WritesAtOnce(int stream) {
  DWORD mode = 0;
  return GetConsoleMode(HandleOf(stream), &mode) != 0;
}

int MissingStream(int stream) {
  if (int code = StdHandleMissingAtStart(stream))
    return code;
  return Usable(HandleOf(stream)) ? 0 : ERROR_INVALID_HANDLE;
}

int WriteStream(int stream, std::string_view bytes) {
  if (int code = StdHandleMissingAtStart(stream))
    return code;
  HANDLE handle = HandleOf(stream);
  if (!Usable(handle))
    return ERROR_INVALID_HANDLE;
  while (!bytes.empty()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr)) {
      DWORD code = GetLastError();
      return code == ERROR_SUCCESS ? ERROR_WRITE_FAULT : static_cast<int>(code);
    }
    // Nothing taken although nothing failed: the device has no room left.
    if (written == 0)
      return ERROR_DISK_FULL;
    bytes.remove_prefix(written);
  }
  return 0;
}

std::string OutputErrorText(int code) {
  switch (code) {
    case 2:
      return "File not found";
    case 3:
      return "Invalid filename";
    case 4:
      return "Too many open files";
    case 5:
      return "File access denied";
    case 100:
      return "Read beyond end of file";
    case 101:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
      return "Disk full";
    case 106:
      return "Invalid numeric input";
    default:
      return "I/O error " + std::to_string(code);
  }
}

}  // namespace platform
