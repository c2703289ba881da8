#include "engine/platform/win32/win32_copy_file.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "engine/platform/path_rules.h"
#include "engine/platform/win32/win32_attributes.h"
#include "engine/platform/win32/win32_error.h"
#include "engine/platform/win32/win32_handles.h"
#include "engine/platform/win32/win32_system_path.h"
#include "engine/platform/win32/win32_temp_file.h"

namespace platform {
namespace {

constexpr DWORD kChunk = 1 << 20;

uint64_t Join(DWORD high, DWORD low) {
  return (uint64_t{high} << 32) | low;
}

SourceStamp StampOf(const BY_HANDLE_FILE_INFORMATION& info, const FILE_BASIC_INFO& basic) {
  return StampOfParts(
      {info.dwVolumeSerialNumber, Join(info.nFileIndexHigh, info.nFileIndexLow),
       Join(info.nFileSizeHigh, info.nFileSizeLow),
       Join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime),
       static_cast<uint64_t>(basic.ChangeTime.QuadPart)});
}

IoResult Refused(const std::string& what, DWORD code, const std::string& reason) {
  IoResult r = Win32Failure(what, code);
  r.message = what + ": " + reason;
  return r;
}

// Reads `from` to its end into `to`. Returns ERROR_SUCCESS or the error code.
DWORD CopyData(HANDLE from, HANDLE to) {
  static thread_local std::vector<char> buffer(kChunk);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(from, buffer.data(), kChunk, &got, nullptr))
      return GetLastError();
    if (got == 0)
      return ERROR_SUCCESS;
    for (DWORD done = 0; done < got;) {
      DWORD wrote = 0;
      if (!WriteFile(to, buffer.data() + done, got - done, &wrote, nullptr))
        return GetLastError();
      if (wrote == 0)
        return ERROR_DISK_FULL;
      done += wrote;
    }
  }
}

}  // namespace

IoResult CopyFileOver(const std::string& from, const std::string& to, SourceStamp expected,
                      SourceStamp* copied) {
  const std::string what = "copy " + from + " -> " + to;
  *copied = 0;
  // Others may go on reading, writing, renaming or deleting the source, as they could while
  // the system's own copy read it; the stamp tells a version that changed.
  FileHandle source(CreateFileW(SystemPath(from).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!source.ok())
    return Win32Failure(what, GetLastError());
  if (GetFileType(source.get()) != FILE_TYPE_DISK)
    return Refused(what, ERROR_INVALID_NAME, "not a file");
  BY_HANDLE_FILE_INFORMATION info;
  FILE_BASIC_INFO basic;
  if (!GetFileInformationByHandle(source.get(), &info) ||
      !GetFileInformationByHandleEx(source.get(), FileBasicInfo, &basic, sizeof basic)) {
    return Win32Failure(what, GetLastError());
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    return Refused(what, ERROR_ACCESS_DENIED, "it is a folder");
  *copied = StampOf(info, basic);
  if (expected != 0 && *copied != expected)
    return Refused(what, ERROR_RETRY, "the file changed during the run");

  TempFile temp;
  if (DWORD code = temp.Create(to.substr(0, ParentLength(to))); code != ERROR_SUCCESS)
    return Win32Failure(what, code);
  if (DWORD code = CopyData(source.get(), temp.handle()); code != ERROR_SUCCESS)
    return Win32Failure(what, code);
  // The last-write time and the attributes, as the system's copy carries them; the creation
  // and access times are the new file's own.
  FILE_BASIC_INFO carried{};
  carried.LastWriteTime = basic.LastWriteTime;
  carried.FileAttributes = Settable(info.dwFileAttributes);
  if (!SetFileInformationByHandle(temp.handle(), FileBasicInfo, &carried, sizeof carried))
    return Win32Failure(what, GetLastError());
  // No one may flush a whole volume but an administrator, and a finished read-only copy can no
  // longer be opened for writing: each copy reaches the disk before it has a name.
  if (!FlushFileBuffers(temp.handle()))
    return Win32Failure(what, GetLastError());
  if (DWORD code = temp.CommitAs(to); code != ERROR_SUCCESS)
    return Win32Failure(what, code);
  return {};
}

}  // namespace platform
