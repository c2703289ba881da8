// What the command line changes in a settings file's options for one run. The file itself is
// never written.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/option_sync.h"

namespace engine {

struct OptionOverrides {
  std::optional<int> time_tolerance;
  bool ignore_hour_shift = false;    // sets IgnoreHourShift; never clears it
  std::vector<std::string> exclude;  // masks added to those of the Exclude key
  std::optional<int> retries;
  std::optional<int> retry_wait;
  std::optional<int> parallel;  // copies under way at once, from 1 up, over the Parallel key
};

// Numbers are held to the bounds the settings file's are held to.
void ApplyOverrides(const OptionOverrides& overrides, TOptionSync& options);

}  // namespace engine
