#include "engine/option_overrides.h"

#include <algorithm>
#include <limits>

namespace engine {

void ApplyOverrides(const OptionOverrides& overrides, TOptionSync& options) {
  if (overrides.time_tolerance)
    options.TimeTolerance = std::max(*overrides.time_tolerance, 0);
  if (overrides.ignore_hour_shift)
    options.IgnoreHourShift = true;
  for (const std::string& masks : overrides.exclude) {
    if (!options.Exclude.empty())
      options.Exclude += ';';
    options.Exclude += masks;
  }
  if (overrides.retries)
    options.Retries = std::clamp(*overrides.retries, 0, kMostRetries);
  if (overrides.retry_wait)
    options.RetryWait = std::clamp(*overrides.retry_wait, 0, kLongestRetryWait);
  if (overrides.parallel)
    options.Parallel = std::max(*overrides.parallel, 1);
}

}  // namespace engine
