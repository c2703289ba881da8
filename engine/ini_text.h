// Reading and editing the text of an initialization file, as the profile functions do: lines
// end at LF, CR LF or a lone CR; section and key names match without regard to case and are
// trimmed; the first section of a name and the first line of a key count; values lose
// surrounding white space and one pair of enclosing quotes and are cut to 2047 characters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace engine {

inline constexpr size_t kMaxValueLength = 2047;

// `max_length` lets a caller that counts characters otherwise take the whole value and cut it.
std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key, size_t max_length = kMaxValueLength);

// Returns `text` with the key's line set to key=value: the first line of the key in the first
// section of that name, else a new line at the end of the section, else a new section at the
// end. Every other line stays as it was; new lines follow the file's line ends, or
// `new_line_end` in a text that has none yet.
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value, std::string_view new_line_end = "\n");

}  // namespace engine
