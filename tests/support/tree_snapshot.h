// A listing of a folder tree detailed enough to show any write: for every entry its path, kind,
// mode, size, content, modification and status-change times. Links are listed, not followed.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// One line per entry, the folder itself first as ".", the rest sorted by path.
std::vector<std::string> TreeSnapshot(const std::string& folder);

}  // namespace testing_support
