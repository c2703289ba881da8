// Writing a whole settings file on Windows. It is replaced in one step, a complete new file
// renamed over it, where that is possible and changes nothing but the text: the new file gets
// the old one's attributes and access list and must then have its owner, group and access list.
// It is written in place where the folder refuses a new file, the file has other names (hard
// links) or is a link, a new file could not carry its owner, group or access list, or the
// folder lets only the file's owner replace it.
#pragma once

#include <string>

#include "engine/platform/file_system.h"

namespace platform {

// Refused for an empty path, a folder, a missing parent folder and an existing file that is
// read-only.
IoResult ReplaceTextFile(const std::string& path, const std::string& text);

}  // namespace platform
