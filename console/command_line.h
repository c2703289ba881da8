// Turning the console program's argument into the settings path.
#pragma once

#include <string>

namespace console {

// A name with "/" anywhere is used as it stands; any other name is taken from the current
// folder, joined with "/" (at the root that gives "//name", which the OS reads as "/name").
std::string ResolveSettingsPath(const std::string& argument, const std::string& working_folder);

}  // namespace console
