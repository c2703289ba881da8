// The console program's options. They come before the settings file; "--" ends them, so a
// settings file whose name begins with "-" can still be named.
#pragma once

#include <string>
#include <vector>

namespace console {

struct ProgramOptions {
  enum class Action { kRun, kNothing, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  bool dry_run = false;
  bool stats = false;
  int parallel = 0;  // --parallel=N: copies under way at once for this run; 0: the settings'

  std::string settings_file;
  std::string error;  // for kUsageError: what was wrong, for the user
};

// `args` are the arguments after the program name. No arguments at all means nothing to do;
// options without a settings file, or any unknown option, are a usage error. Arguments after
// the settings file are ignored.
ProgramOptions ParseProgramOptions(const std::vector<std::string>& args);

}  // namespace console
