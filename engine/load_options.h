// Reads the keys of a settings file into an options record: the fourteen the window shows and
// writes, and those only a settings file or the command line sets.
#pragma once

#include <string>

#include "engine/option_sync.h"
#include "engine/platform/file_system.h"

namespace engine {

// Missing file, section or key: the record's defaults. Never fails, never touches the file.
void LoadOptions(const std::string& settings_path, TOptionSync& options);
void LoadOptions(platform::FileSystem& fs, const std::string& settings_path, TOptionSync& options);

}  // namespace engine
