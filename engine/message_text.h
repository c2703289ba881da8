// Failure texts as one line each: a name may hold any byte but "/" and NUL, and a line feed or
// an escape sequence in it would break the line or play tricks on a terminal.
#pragma once

#include <string>
#include <string_view>

namespace engine {

// `text` with every control byte (0x00-0x1F and 0x7F) written as "\x" and two lower-case hex
// digits ("\x0a" for a line feed). With `double_backslash`, a backslash is written "\\", so
// every written form reads back to exactly one text; without it a backslash stays as it is,
// for Windows, where it is the path separator and no name can hold a control byte. Every
// other byte, also above 0x7F, is kept.
std::string QuoteControlBytes(std::string_view text, bool double_backslash);

// The same with this OS's rule: the backslash is doubled where it is not the path separator.
std::string QuoteControlBytes(std::string_view text);

}  // namespace engine
