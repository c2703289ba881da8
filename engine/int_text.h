// Integer conversion of a settings value: decimal with an optional sign, or hexadecimal after
// "$", "x", "X", "0x" or "0X". Anything else fails, so words such as "true" take the default.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace engine {

std::optional<int32_t> ParseInt32(std::string_view text);

}  // namespace engine
