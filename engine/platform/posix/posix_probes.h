// The dry run's questions on POSIX: what mkdir, and a copy's open, create and rename, would meet
// on the disk as it is now, asked with the same path and the same view of links.
#pragma once

#include <string>

#include "engine/platform/file_system.h"

namespace platform {

IoResult PosixProbeMakeFolder(const std::string& path);
IoResult PosixProbeCopySource(const std::string& from);
IoResult PosixProbeCopyFolder(const std::string& to);
IoResult PosixProbeCopyDestination(const std::string& to);

}  // namespace platform
