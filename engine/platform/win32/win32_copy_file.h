// A copy on Windows: the data read from one open source handle into a temporary file beside the
// destination, which then gets the source's last-write time and attributes, is flushed to the
// disk, and only then takes the destination's name.
#pragma once

#include <string>

#include "engine/platform/file_system.h"

namespace platform {

// FileSystem::CopyOver. The stamp mixes the source's volume serial number, file index,
// size, last-write time and change time, all taken from the handle the data is read from.
IoResult CopyFileOver(const std::string& from, const std::string& to, SourceStamp expected,
                      SourceStamp* copied);

}  // namespace platform
