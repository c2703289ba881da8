// The encodings a settings file may have on Windows, and the way a value is read from and
// written into each, with the text inside the engine in UTF-8:
// - a UTF-16 file with a byte-order mark (little- or big-endian): the profile functions' own
//   Unicode form;
// - UTF-8, with a byte-order mark, or without one when the bytes are valid UTF-8 and not all
//   ASCII (as a file written on Linux is);
// - anything else: bytes in the machine's ANSI code page, as earlier versions wrote them.
#pragma once

#include <string>
#include <string_view>

namespace platform {

enum class SettingsForm { kAnsi, kUtf8, kUtf16Le, kUtf16Be };

SettingsForm FormOf(std::string_view bytes);

// The whole text in UTF-8, without a byte-order mark.
std::string SettingsTextOf(std::string_view bytes);

// The value of `key` in `section`, cut to the 2047 UTF-16 units the profile functions' buffer
// holds; `default_text` when there is none.
std::string FindSettingsValue(std::string_view bytes, const std::string& section,
                              const std::string& key, const std::string& default_text);

// The file's bytes with the key's line set to key=value, every other line kept. The file keeps
// its form while that can hold the value; an ANSI or UTF-8 file that cannot becomes UTF-16
// (little-endian, with a byte-order mark), its other lines converted once. False when `value`
// is not UTF-8.
bool SetSettingsValue(std::string_view bytes, const std::string& section, const std::string& key,
                      const std::string& value, std::string* result);

}  // namespace platform
