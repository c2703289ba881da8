#include "console/command_line.h"

#include "engine/platform/path_rules.h"

namespace console {
namespace {

bool IsSeparator(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view command_line) {
  std::vector<std::string> arguments;
  size_t pos = 0;
  const size_t end = command_line.size();
  while (pos < end) {
    while (pos < end) {
      if (IsSeparator(command_line[pos])) {
        ++pos;
      } else if (command_line.substr(pos, 2) == "\"\"") {
        pos += 2;
      } else {
        break;
      }
    }
    if (pos == end)
      break;
    std::string argument;
    bool quoted = false;
    while (pos < end) {
      char c = command_line[pos];
      if (c == '"') {
        quoted = !quoted;
      } else if (!quoted && IsSeparator(c)) {
        break;
      } else {
        argument.push_back(c);
      }
      ++pos;
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

std::string ResolveSettingsPath(const std::string& argument, const std::string& working_folder) {
  if (platform::IsPathName(argument))
    return argument;
  return working_folder + platform::kPathSeparator + argument;
}

}  // namespace console
