#include "engine/platform/win32/win32_find.h"

#include <atomic>

#include "engine/dos_time.h"
#include "engine/platform/win32/win32_handles.h"
#include "engine/platform/win32/win32_text.h"

namespace platform {
namespace {

// FILETIMEs of 1980-01-01 and 2108-01-01 00:00:00: the range a DOS date-time can hold.
constexpr uint64_t kFileTime1980 = 119600064000000000ULL;
constexpr uint64_t kFileTime2108 = 159992928000000000ULL;

}  // namespace

uint32_t DosTimeOf(const FILETIME& utc) {
  FILETIME local = utc;
  if (!FileTimeToLocalFileTime(&utc, &local))
    local = utc;
  // Outside what the DOS format holds: the nearest end, as on every platform. Checked here,
  // as not every implementation of the conversion refuses such times.
  uint64_t ticks = (uint64_t{local.dwHighDateTime} << 32) | local.dwLowDateTime;
  if (ticks < kFileTime1980)
    return engine::PackDosTime(1979, 1, 1, 0, 0, 0);
  if (ticks >= kFileTime2108)
    return engine::PackDosTime(2108, 1, 1, 0, 0, 0);
  WORD date = 0, time = 0;
  if (!FileTimeToDosDateTime(&local, &date, &time))
    return 0;
  return (uint32_t{date} << 16) | time;
}

engine::FileEntry EntryOf(const WIN32_FIND_DATAW& data) {
  engine::FileEntry e;
  e.Time = DosTimeOf(data.ftLastWriteTime);
  e.Size = data.nFileSizeLow;
  e.SizeHigh = data.nFileSizeHigh;
  e.Attr = data.dwFileAttributes;
  e.Name = Utf8FromWide(data.cFileName);
  return e;
}

// The same pair means the same folder, however it was reached.
DWORD IdOf(const std::wstring& system_path, FolderId* id) {
  FileHandle handle(CreateFileW(system_path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle.ok())
    return GetLastError();
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle.get(), &info))
    return GetLastError();
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    return ERROR_DIRECTORY;
  id->device = info.dwVolumeSerialNumber;
  id->inode = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  return ERROR_SUCCESS;
}

FolderId UnknownId() {
  static std::atomic<uint64_t> next{0};
  return {~uint64_t{0}, next++};
}

}  // namespace platform
