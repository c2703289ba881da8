#include <windows.h>

#include <algorithm>
#include <mutex>
#include <string>

#include "engine/platform/std_streams.h"
#include "engine/platform/win32/win32_std_handles.h"
#include "engine/platform/win32/win32_text.h"

namespace platform {
namespace {

HANDLE HandleOf(int stream) {
  return GetStdHandle(stream == kStdError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
}

bool Usable(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

// The text arrives in pieces (the output's 128-byte blocks) that may end inside a character;
// those bytes wait here for the rest.
struct PendingBytes {
  std::mutex lock;
  std::string bytes;
};

PendingBytes& PendingOf(int stream) {
  static PendingBytes pending[2];
  return pending[stream == kStdError ? 1 : 0];
}

int WriteBytes(HANDLE handle, std::string_view bytes) {
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

int WriteConsoleText(HANDLE handle, std::wstring_view text) {
  while (!text.empty()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size(), 8192));
    // A surrogate pair is handed over whole.
    if (chunk < text.size() && text[chunk - 1] >= 0xD800 && text[chunk - 1] <= 0xDBFF)
      --chunk;
    DWORD written = 0;
    if (!WriteConsoleW(handle, text.data(), chunk, &written, nullptr)) {
      DWORD code = GetLastError();
      return code == ERROR_SUCCESS ? ERROR_WRITE_FAULT : static_cast<int>(code);
    }
    if (written == 0)
      return ERROR_WRITE_FAULT;
    text.remove_prefix(written);
  }
  return 0;
}

}  // namespace

const char kProgramFileSuffix[] = ".exe";
const char kTextLineEnd[] = "\r\n";

bool WritesAtOnce(int stream) {
  return IsConsole(HandleOf(stream));
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
  PendingBytes& pending = PendingOf(stream);
  std::lock_guard<std::mutex> hold(pending.lock);
  std::string text = std::move(pending.bytes);
  text.append(bytes);
  const size_t complete = CompleteUtf8Length(text);
  pending.bytes.assign(text, complete);
  text.resize(complete);
  // A console shows every character in any code page; a file or a pipe gets the bytes of the
  // ANSI code page, as it always did, with "?" for a character that has none there.
  if (IsConsole(handle))
    return WriteConsoleText(handle, ReadableWide(text));
  return WriteBytes(handle, AnsiFromUtf8(text));
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
