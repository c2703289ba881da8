#include "engine/message_text.h"

#include "engine/platform/path_rules.h"

namespace engine {

std::string QuoteControlBytes(std::string_view text, bool double_backslash) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string quoted;
  quoted.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
      quoted += "\\x";
      quoted += kHex[byte >> 4];
      quoted += kHex[byte & 15];
    } else if (c == '\\' && double_backslash) {
      quoted += "\\\\";
    } else {
      quoted += c;
    }
  }
  return quoted;
}

std::string QuoteControlBytes(std::string_view text) {
  return QuoteControlBytes(text, platform::kPathSeparator != '\\');
}

}  // namespace engine
