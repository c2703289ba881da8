#include "tests/reliability/settings_check.h"

#include <fcntl.h>
#include <unistd.h>

#include <optional>
#include <string_view>

#include "engine/ini_text.h"
#include "engine/int_text.h"
#include "engine/load_options.h"
#include "engine/settings_file.h"

namespace reliability {
namespace {

constexpr const char* kKeys[] = {"SourceFolder", "MasterFolder", "DestFolder", "SyncSub",
                                 "CreateSub",    "Mask",         "flSize",     "flDate",
                                 "flAttr",       "flReadOnly",   "flHidden",   "flArchive",
                                 "flSystem",     "flCompressed"};

std::string Show(const std::optional<std::string>& value) {
  return value ? "\"" + *value + "\"" : "(none)";
}

bool WriteWhole(const std::string& path, std::string_view bytes) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0)
    return false;
  bool ok = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  return close(fd) == 0 && ok;
}

std::string CheckNumber(std::string_view text) {
  std::optional<int32_t> number = engine::ParseInt32(text);
  if (number && engine::ParseInt32(std::to_string(*number)) != number) {
    return "the number " + std::to_string(*number) + " does not read back";
  }
  return "";
}

}  // namespace

std::string CheckSettingsInput(const uint8_t* data, size_t size, const std::string& scratch_path) {
  return CheckSettingsInput(data, size, scratch_path, true);
}

std::string CheckSettingsInput(const uint8_t* data, size_t size, const std::string& scratch_path,
                               bool with_file) {
  // Layout: key index, value length (two bytes), then the file's text, the value last.
  if (size < 3)
    return "";
  const std::string key = kKeys[data[0] % 14];
  const size_t value_size = std::min<size_t>(size - 3, data[1] | (data[2] << 8));
  const std::string_view text(reinterpret_cast<const char*>(data) + 3, size - 3 - value_size);
  const std::string value(reinterpret_cast<const char*>(data) + size - value_size, value_size);

  for (std::string_view number : {text, std::string_view(value)}) {
    if (std::string failed = CheckNumber(number); !failed.empty())
      return failed;
  }
  const std::optional<std::string> before = engine::FindIniValue(text, "Main", key);
  if (before && before->size() > engine::kMaxValueLength)
    return "a value longer than 2047";

  // The written key reads back as the same value written into a file of its own would; every
  // other key keeps what it had.
  const std::string edited = engine::SetIniValue(text, engine::kMainSection, key, value);
  const std::string alone = "[Main]\n" + key + "=" + value.substr(0, value.find_first_of("\r\n"));
  const std::optional<std::string> expected = engine::FindIniValue(alone, "Main", key);
  const std::optional<std::string> written = engine::FindIniValue(edited, "mAIN", key);
  if (written != expected)
    return key + " reads back as " + Show(written) + ", not " + Show(expected);
  for (const char* other : kKeys) {
    if (other == key)
      continue;
    if (engine::FindIniValue(edited, "Main", other) != engine::FindIniValue(text, "Main", other)) {
      return std::string("writing ") + key + " changed " + other;
    }
  }

  // The same through a real file: the bytes on disk, then the reader of a run.
  if (!with_file)
    return "";
  if (!WriteWhole(scratch_path, text))
    return "cannot write " + scratch_path;
  engine::SettingsFile file(scratch_path);
  platform::IoResult result = file.WriteText(engine::kMainSection, key, value);
  if (!result.ok())
    return result.message;
  std::string on_disk;
  if (!platform::DefaultFileSystem().ReadText(scratch_path, &on_disk).ok())
    return "cannot read";
  if (on_disk != edited)
    return "the file on disk is not the edited text";
  if (file.ReadText(engine::kMainSection, key, "\x01") != expected.value_or("\x01")) {
    return "SettingsFile reads " + key + " differently";
  }
  // A run's reader goes through the same lookups; now and then read the whole record.
  if (data[0] % 8 == 0) {
    engine::TOptionSync options;
    engine::LoadOptions(scratch_path, options);
  }
  return "";
}

}  // namespace reliability
