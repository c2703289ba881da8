// What the Windows directory search and file information give, in the engine's terms: a
// found entry as a FileEntry, and the identity of a folder.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/file_entry.h"
#include "engine/platform/file_system.h"

namespace platform {

// The last-write time in local time as a DOS date-time; times outside 1980-2107 count as the
// nearest end of that range.
uint32_t DosTimeOf(const FILETIME& utc);

engine::FileEntry EntryOf(const WIN32_FIND_DATAW& data);

// The folder's volume serial number and file index. Returns ERROR_SUCCESS or the error code.
DWORD IdOf(const std::wstring& system_path, FolderId* id);

// For a folder whose identity cannot be read: an id that matches no other folder, so it is
// never taken for a target or an ancestor.
FolderId UnknownId();

}  // namespace platform
