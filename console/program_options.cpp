#include "console/program_options.h"

#include "engine/int_text.h"

namespace console {

ProgramOptions ParseProgramOptions(const std::vector<std::string>& args) {
  ProgramOptions options;
  if (args.empty()) {
    options.action = ProgramOptions::Action::kNothing;
    return options;
  }
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // A lone "-" is a name like any other.
    const bool is_option = arg.size() > 1 && arg[0] == '-';
    if (!is_option || arg == "--") {
      size_t file = is_option ? i + 1 : i;
      if (file < args.size()) {
        options.settings_file = args[file];
        return options;
      }
      break;
    }
    if (arg == "--help") {
      options.action = ProgramOptions::Action::kHelp;
      return options;
    }
    if (arg == "--version") {
      options.action = ProgramOptions::Action::kVersion;
      return options;
    }
    if (arg == "--dry-run" || arg == "-n") {
      options.dry_run = true;
    } else if (arg == "--stats") {
      options.stats = true;
    } else if (arg.rfind("--parallel=", 0) == 0) {
      const std::optional<int32_t> lanes = engine::ParseInt32(arg.substr(11));
      if (!lanes || *lanes < 1) {
        options.action = ProgramOptions::Action::kUsageError;
        options.error = "--parallel wants a number of copies from 1 up: " + arg;
        return options;
      }
      options.parallel = *lanes;
    } else {
      options.action = ProgramOptions::Action::kUsageError;
      options.error = "unknown option " + arg;
      return options;
    }
  }
  options.action = ProgramOptions::Action::kUsageError;
  options.error = "no settings file named";
  return options;
}

}  // namespace console
