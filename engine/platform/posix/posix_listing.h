// Folder listings on POSIX, and the engine's view of one entry: the attribute word made from
// its kind, mode and name, its time as a local MS-DOS time.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/file_entry.h"
#include "engine/platform/file_system.h"

namespace platform {

// Folder, archive (a plain file), read-only (owner write bit clear), hidden (name begins
// with ".", but for "." and "..").
uint32_t AttributesOf(const struct stat& st, const char* name);
engine::FileEntry EntryOf(const struct stat& st, const char* name);
// The same without the name.
engine::FileEntry UnnamedEntryOf(const struct stat& st, const char* name);

// FileSystem::ListFolder on POSIX: the directory read, each wanted entry examined with links
// followed.
IoResult ListFolderEntries(const std::string& folder, const std::string& mask, bool with_subfolders,
                           FolderListing* listing);

// FileSystem::FindEntries on POSIX: each name looked up from the folder opened once. Keeps
// nothing between calls, so scan threads may call it at once.
void FindEntriesIn(const std::string& folder, const std::vector<engine::FileEntry>& like,
                   std::vector<FoundEntry>* found);

}  // namespace platform
