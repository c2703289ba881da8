#include "engine/settings_file.h"

#include <utility>

#include "engine/int_text.h"

namespace engine {

SettingsFile::SettingsFile(std::string path)
    : SettingsFile(platform::DefaultFileSystem(), std::move(path)) {}

SettingsFile::SettingsFile(platform::FileSystem& fs, std::string path)
    : fs_(fs), path_(std::move(path)) {}

std::string SettingsFile::ReadText(const std::string& section, const std::string& key,
                                   const std::string& default_text) const {
  return fs_.ReadProfileString(path_, section, key, default_text);
}

bool SettingsFile::ReadSwitch(const std::string& section, const std::string& key,
                              bool default_value) const {
  std::optional<int32_t> number = ParseInt32(ReadText(section, key, ""));
  return number ? *number != 0 : default_value;
}

platform::IoResult SettingsFile::WriteText(const std::string& section, const std::string& key,
                                           const std::string& text) {
  platform::IoResult result = fs_.WriteProfileString(path_, section, key, text);
  if (!result.ok())
    result.message = "Unable to write to " + path_;
  return result;
}

platform::IoResult SettingsFile::WriteSwitch(const std::string& section, const std::string& key,
                                             bool value) {
  return WriteText(section, key, value ? "1" : "0");
}

}  // namespace engine
