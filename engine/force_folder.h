// Making sure a folder exists, creating missing parents first.
#pragma once

#include <string>

#include "engine/platform/file_system.h"

namespace engine {

bool FolderExists(platform::FileSystem& fs, const std::string& path);
bool FolderExists(const std::string& path);

// True unless a creation failed. The root and the empty path count as existing; a name
// without "/" is created relative to the current folder. `failure`, when given, receives the
// reason of the creation that failed.
bool ForceFolder(platform::FileSystem& fs, const std::string& path,
                 platform::IoResult* failure = nullptr);
bool ForceFolder(const std::string& path);

}  // namespace engine
