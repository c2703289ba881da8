#include "engine/platform/win32/win32_settings_text.h"

#include <cstdint>
#include <limits>

#include "engine/ini_text.h"
#include "engine/platform/win32/win32_text.h"

namespace platform {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
// A file that has no line end yet gets the system's, as the profile functions wrote it.
constexpr std::string_view kNewLineEnd = "\r\n";

bool IsAscii(std::string_view bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  }
  return true;
}

std::wstring Utf16Units(std::string_view bytes, bool big_endian) {
  std::wstring units;
  units.reserve(bytes.size() / 2);
  // A last odd byte belongs to no unit.
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const uint8_t first = static_cast<uint8_t>(bytes[i]),
                  second = static_cast<uint8_t>(bytes[i + 1]);
    units.push_back(
        static_cast<wchar_t>(big_endian ? (first << 8) | second : (second << 8) | first));
  }
  return units;
}

std::string Utf16Bytes(std::wstring_view units, bool big_endian) {
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (wchar_t unit : units) {
    const uint16_t u = static_cast<uint16_t>(unit);
    const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
    bytes.push_back(big_endian ? high : low);
    bytes.push_back(big_endian ? low : high);
  }
  return bytes;
}

// `utf8` as a UTF-16 file of the given byte order, with its mark; false when it is not UTF-8.
bool Utf16File(std::string_view utf8, bool big_endian, std::string_view odd_tail,
               std::string* result) {
  std::wstring units;
  if (!WideFromUtf8(utf8, &units))
    return false;
  *result = std::string(big_endian ? kUtf16BeMark : kUtf16LeMark);
  result->append(Utf16Bytes(units, big_endian)).append(odd_tail);
  return true;
}

}  // namespace

SettingsForm FormOf(std::string_view bytes) {
  if (bytes.substr(0, 2) == kUtf16LeMark)
    return SettingsForm::kUtf16Le;
  if (bytes.substr(0, 2) == kUtf16BeMark)
    return SettingsForm::kUtf16Be;
  if (bytes.substr(0, 3) == kUtf8Mark || (!IsAscii(bytes) && IsUtf8(bytes)))
    return SettingsForm::kUtf8;
  return SettingsForm::kAnsi;
}

std::string SettingsTextOf(std::string_view bytes) {
  switch (FormOf(bytes)) {
    case SettingsForm::kUtf16Le:
      return Utf8FromWide(Utf16Units(bytes.substr(2), false));
    case SettingsForm::kUtf16Be:
      return Utf8FromWide(Utf16Units(bytes.substr(2), true));
    case SettingsForm::kUtf8:
      return std::string(bytes.substr(0, 3) == kUtf8Mark ? bytes.substr(3) : bytes);
    case SettingsForm::kAnsi:
      break;
  }
  return Utf8FromAnsi(bytes);
}

std::string FindSettingsValue(std::string_view bytes, const std::string& section,
                              const std::string& key, const std::string& default_text) {
  std::optional<std::string> value =
      engine::FindIniValue(SettingsTextOf(bytes), section, key, std::numeric_limits<size_t>::max());
  if (!value)
    return default_text;
  value->resize(Utf8PrefixOfUnits(*value, engine::kMaxValueLength));
  return *value;
}

bool SetSettingsValue(std::string_view bytes, const std::string& section, const std::string& key,
                      const std::string& value, std::string* result) {
  const SettingsForm form = FormOf(bytes);
  if (form == SettingsForm::kAnsi) {
    bool exact_section = false, exact_key = false, exact_value = false;
    const std::string ansi_section = AnsiFromUtf8(section, &exact_section);
    const std::string ansi_key = AnsiFromUtf8(key, &exact_key);
    const std::string ansi_value = AnsiFromUtf8(value, &exact_value);
    // Edited as bytes, so every other line stays exactly as it was.
    if (exact_section && exact_key && exact_value) {
      *result = engine::SetIniValue(bytes, ansi_section, ansi_key, ansi_value, kNewLineEnd);
      return true;
    }
  } else if (form == SettingsForm::kUtf8 && IsUtf8(value)) {
    *result = engine::SetIniValue(bytes, section, key, value, kNewLineEnd);
    return true;
  }
  const bool big_endian = form == SettingsForm::kUtf16Be;
  const bool utf16 = big_endian || form == SettingsForm::kUtf16Le;
  const std::string_view odd_tail =
      utf16 && bytes.size() % 2 == 1 ? bytes.substr(bytes.size() - 1) : std::string_view();
  return Utf16File(engine::SetIniValue(SettingsTextOf(bytes), section, key, value, kNewLineEnd),
                   big_endian, odd_tail, result);
}

}  // namespace platform
