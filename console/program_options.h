// The console program's options. They come before the settings file; "--" ends them, so a
// settings file whose name begins with "-" can still be named.
#pragma once

#include <string>
#include <vector>

#include "engine/option_overrides.h"

namespace console {

struct ProgramOptions {
  enum class Action { kRun, kNothing, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  bool dry_run = false;
  bool stats = false;
  bool progress = false;
  engine::OptionOverrides overrides;  // the settings file's keys changed for this run
  std::string settings_file;
  std::string error;  // for kUsageError: what was wrong, for the user
};

// `args` are the arguments after the program name. No arguments at all means nothing to do;
// options without a settings file, or any unknown option, are a usage error. An option with a
// value takes it after "=" or as the next argument; a number is a decimal of 0 or more (one
// beyond the bounds of its key counts as the bound). Arguments after the settings file are
// ignored.
ProgramOptions ParseProgramOptions(const std::vector<std::string>& args);

}  // namespace console
