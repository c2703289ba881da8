// Writing a whole settings file. It is replaced in one step where that is possible and changes
// nothing but the text; it is written in place where the folder refuses a new file, the file
// has other names (hard links), or a new file could not carry its owner, group and mode.
#pragma once

#include <string>

#include "engine/platform/file_system.h"

namespace platform {

// Refused for an empty path, a folder, a missing parent folder and an existing file that is
// read-only. A link is written through to the file it names.
IoResult ReplaceTextFile(const std::string& path, const std::string& text);

}  // namespace platform
