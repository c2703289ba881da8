// The dry run's questions on Windows: what CreateDirectoryW, and a copy's open of the source,
// creation of its temporary file and rename over the destination, would meet on the disk as it
// is now, asked of the same paths and told in the system's own words.
#pragma once

#include <string>

#include "engine/platform/file_system.h"

namespace platform {

IoResult Win32ProbeMakeFolder(const std::string& path);
IoResult Win32ProbeCopySource(const std::string& from);
IoResult Win32ProbeCopyFolder(const std::string& to);
IoResult Win32ProbeCopyDestination(const std::string& to);

}  // namespace platform
