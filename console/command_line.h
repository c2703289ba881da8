// The console program's command line: splitting it into arguments, and turning the first
// argument into the settings path.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace console {

// Splits a whole command line (the program's name first) into arguments. Characters up to and
// including the space separate; a double quote opens a stretch, up to the next one or the end,
// in which they do not; the quotes are dropped, and a pair with nothing between them where an
// argument would begin is skipped. A backslash is an ordinary character, also before a quote.
// An argument may be as long as the command line.
std::vector<std::string> SplitCommandLine(std::string_view command_line);

// A name that already says where the file lies is used as it stands; any other name is taken
// from the current folder, joined with the OS's separator (at the root that doubles it, which
// the OS reads as one).
std::string ResolveSettingsPath(const std::string& argument, const std::string& working_folder);

}  // namespace console
