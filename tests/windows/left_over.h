// Files as an interrupted copy leaves them: named ".~parlowen-<16 hex digits>.tmp" with the
// digits bound to the file's own index, the way a run names its temporary files.
#pragma once

#include <string>

namespace windows_tests {

// Writes `bytes` into a new file in `folder` (absolute, UTF-8) and gives it the name bound to
// its file index; returns that name.
std::string PutLeftOver(const std::string& folder, const std::string& bytes);

}  // namespace windows_tests
