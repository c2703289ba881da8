// Reading a whole settings file on POSIX.
#pragma once

#include <string>

#include "engine/platform/file_system.h"

namespace platform {

// FileSystem::ReadText on POSIX: refused for an empty path, a folder, anything but a plain file
// (never blocks on a pipe) and a file of more than 64 MiB.
IoResult ReadTextFile(const std::string& path, std::string* text);

}  // namespace platform
