// Access to one settings file, one key per operation. Nothing is kept open or cached: every
// read and every write is a complete access to the file, so several programs may share it.
#pragma once

#include <string>

#include "engine/platform/file_system.h"

namespace engine {

inline constexpr char kMainSection[] = "Main";

class SettingsFile {
 public:
  explicit SettingsFile(std::string path);
  SettingsFile(platform::FileSystem& fs, std::string path);

  std::string ReadText(const std::string& section, const std::string& key,
                       const std::string& default_text) const;
  // Any integer other than 0 is true; a text that is no integer gives the default.
  bool ReadSwitch(const std::string& section, const std::string& key, bool default_value) const;

  // A refused write gives the message "Unable to write to <path>".
  platform::IoResult WriteText(const std::string& section, const std::string& key,
                               const std::string& text);
  platform::IoResult WriteSwitch(const std::string& section, const std::string& key, bool value);

 private:
  platform::FileSystem& fs_;
  std::string path_;
};

}  // namespace engine
