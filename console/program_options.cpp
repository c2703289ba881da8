#include "console/program_options.h"

#include <climits>
#include <optional>

namespace console {
namespace {

// Digits only, so "-1" or "5s" are refused rather than read as something else; a number too
// large for an int counts as the largest.
std::optional<int> WholeNumber(const std::string& text) {
  if (text.empty())
    return std::nullopt;
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > INT_MAX)
      value = INT_MAX;
  }
  return static_cast<int>(value);
}

enum class Valued { kNone, kTimeTolerance, kExclude, kRetries, kRetryWait, kParallel };

Valued ValuedOption(const std::string& name) {
  if (name == "--time-tolerance")
    return Valued::kTimeTolerance;
  if (name == "--exclude")
    return Valued::kExclude;
  if (name == "--retries")
    return Valued::kRetries;
  if (name == "--retry-wait")
    return Valued::kRetryWait;
  if (name == "--parallel")
    return Valued::kParallel;
  return Valued::kNone;
}

// Empty when the value fits the option, else what is wrong with it.
std::string TakeValue(Valued option, const std::string& name, const std::string& value,
                      engine::OptionOverrides& overrides) {
  if (option == Valued::kExclude) {
    overrides.exclude.push_back(value);
    return "";
  }
  std::optional<int> number = WholeNumber(value);
  if (option == Valued::kParallel) {
    if (!number || *number < 1)
      return "option " + name + " needs a whole number of 1 or more, not \"" + value + "\"";
    overrides.parallel = number;
    return "";
  }
  if (!number)
    return "option " + name + " needs a whole number of 0 or more, not \"" + value + "\"";
  if (option == Valued::kTimeTolerance)
    overrides.time_tolerance = number;
  else if (option == Valued::kRetries)
    overrides.retries = number;
  else
    overrides.retry_wait = number;
  return "";
}

}  // namespace

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
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (const Valued valued = ValuedOption(name); valued != Valued::kNone) {
      std::string value;
      if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        options.action = ProgramOptions::Action::kUsageError;
        options.error = "option " + name + " needs a value";
        return options;
      }
      options.error = TakeValue(valued, name, value, options.overrides);
      if (!options.error.empty()) {
        options.action = ProgramOptions::Action::kUsageError;
        return options;
      }
    } else if (arg == "--dry-run" || arg == "-n") {
      options.dry_run = true;
    } else if (arg == "--stats") {
      options.stats = true;
    } else if (arg == "--progress") {
      options.progress = true;
    } else if (arg == "--ignore-hour-shift") {
      options.overrides.ignore_hour_shift = true;
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
