#include "engine/load_options.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "engine/int_text.h"
#include "engine/settings_file.h"

namespace engine {
namespace {

// A number read as a switch is: an integer, or the default. Below 0 counts as 0 (nothing to
// wait, no tries again, no tolerance), beyond `most` as `most`.
int ReadCount(const SettingsFile& file, const char* key, int default_value, int most) {
  std::optional<int32_t> number = ParseInt32(file.ReadText(kMainSection, key, ""));
  if (!number)
    return default_value;
  return std::clamp<int32_t>(*number, 0, most);
}

// A number of copies from 1 up; anything else (0, negative, a word) leaves the choice to the run.
int ReadParallel(const SettingsFile& file) {
  const std::optional<int32_t> number = ParseInt32(file.ReadText(kMainSection, "Parallel", ""));
  return number && *number > 0 ? *number : 0;
}

}  // namespace

void LoadOptions(const std::string& settings_path, TOptionSync& options) {
  LoadOptions(platform::DefaultFileSystem(), settings_path, options);
}

void LoadOptions(platform::FileSystem& fs, const std::string& settings_path, TOptionSync& options) {
  const SettingsFile file(fs, settings_path);
  const TOptionSync defaults;
  options.SourceFolder = file.ReadText(kMainSection, "SourceFolder", defaults.SourceFolder);
  options.MasterFolder = file.ReadText(kMainSection, "MasterFolder", defaults.MasterFolder);
  options.DestFolder = file.ReadText(kMainSection, "DestFolder", defaults.DestFolder);
  options.SyncSub = file.ReadSwitch(kMainSection, "SyncSub", defaults.SyncSub);
  options.CreateSub = file.ReadSwitch(kMainSection, "CreateSub", defaults.CreateSub);
  options.Mask = file.ReadText(kMainSection, "Mask", defaults.Mask);
  options.flSize = file.ReadSwitch(kMainSection, "flSize", defaults.flSize);
  options.flDate = file.ReadSwitch(kMainSection, "flDate", defaults.flDate);
  options.flAttr = file.ReadSwitch(kMainSection, "flAttr", defaults.flAttr);
  options.flReadOnly = file.ReadSwitch(kMainSection, "flReadOnly", defaults.flReadOnly);
  options.flHidden = file.ReadSwitch(kMainSection, "flHidden", defaults.flHidden);
  options.flArchive = file.ReadSwitch(kMainSection, "flArchive", defaults.flArchive);
  options.flSystem = file.ReadSwitch(kMainSection, "flSystem", defaults.flSystem);
  options.flCompressed = file.ReadSwitch(kMainSection, "flCompressed", defaults.flCompressed);
  options.TimeTolerance =
      ReadCount(file, "TimeTolerance", defaults.TimeTolerance, std::numeric_limits<int>::max());
  options.IgnoreHourShift =
      file.ReadSwitch(kMainSection, "IgnoreHourShift", defaults.IgnoreHourShift);
  options.Exclude = file.ReadText(kMainSection, "Exclude", defaults.Exclude);
  options.Retries = ReadCount(file, "Retries", defaults.Retries, kMostRetries);
  options.RetryWait = ReadCount(file, "RetryWait", defaults.RetryWait, kLongestRetryWait);
  options.Parallel = ReadParallel(file);
}

}  // namespace engine
