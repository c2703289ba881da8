// Path strings of a run: the target list and the parts of a source path.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace engine {

// Splits the destination list at ";" (and at line breaks). An empty text gives no targets, an
// empty segment an empty target; a separator at the very end gives no extra target. Nothing is
// trimmed, so a blank after ";" belongs to the next target.
std::vector<std::string> SplitTargets(std::string_view dest_folders);

// What follows the source folder's text in a path built during the scan; begins with "/".
inline std::string_view RelativePath(std::string_view full_path, std::string_view source_folder) {
  return full_path.size() >= source_folder.size() ? full_path.substr(source_folder.size())
                                                  : std::string_view();
}

}  // namespace engine
