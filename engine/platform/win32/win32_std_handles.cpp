#include "engine/platform/win32/win32_std_handles.h"

#include <windows.h>

#include "engine/platform/std_streams.h"

namespace platform {
namespace {

// Set once, before any other thread exists.
int missing_at_start[3] = {0, 0, 0};

DWORD StdHandleId(int stream) {
  if (stream == kStdInput)
    return STD_INPUT_HANDLE;
  return stream == kStdOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE;
}

// A value a parent handed on may be empty, invalid, or name nothing in this process; such a
// stale value could later be given to a file this process opens.
bool Alive(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
    return false;
  DWORD flags = 0;
  if (GetHandleInformation(handle, &flags))
    return true;
  // Consoles of older systems hand out pseudo handles that only the file type knows.
  SetLastError(NO_ERROR);
  return GetFileType(handle) != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
}

}  // namespace

void SecureStandardStreams() {
  for (int stream = kStdInput; stream <= kStdError; ++stream) {
    const DWORD id = StdHandleId(stream);
    if (Alive(GetStdHandle(id)))
      continue;
    missing_at_start[stream] = ERROR_INVALID_HANDLE;
    HANDLE nul =
        CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (nul != INVALID_HANDLE_VALUE)
      SetStdHandle(id, nul);  // kept open for the life of the process
  }
}

int StdHandleMissingAtStart(int stream) {
  if (stream < kStdInput || stream > kStdError)
    return 0;
  return missing_at_start[stream];
}

}  // namespace platform
