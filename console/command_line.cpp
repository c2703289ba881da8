#include "console/command_line.h"

namespace console {

std::string ResolveSettingsPath(const std::string& argument, const std::string& working_folder) {
  if (argument.find('/') != std::string::npos) return argument;
  return working_folder + "/" + argument;
}

}  // namespace console
