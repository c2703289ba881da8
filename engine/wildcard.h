// File-name masks: "*" matches any run of characters, "?" exactly one, letters match without
// regard to case. A mask ending in ".*" also matches the name without that dot part, so "*.*"
// matches every name, also one without a dot. An empty mask matches nothing.
#pragma once

#include <string_view>

namespace engine {

bool MatchesMask(std::string_view mask, std::string_view name);
// True when the mask matches every possible name, so the caller can skip matching.
bool MaskMatchesEverything(std::string_view mask);

}  // namespace engine
