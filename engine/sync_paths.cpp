#include "engine/sync_paths.h"

namespace engine {

std::vector<std::string> SplitTargets(std::string_view dest_folders) {
  std::vector<std::string> targets;
  std::string current;
  bool open = false;  // a target has begun and not yet been ended by a separator
  for (size_t i = 0; i < dest_folders.size(); ++i) {
    char c = dest_folders[i];
    if (c == ';' || c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < dest_folders.size() && dest_folders[i + 1] == '\n')
        ++i;
      targets.push_back(std::move(current));
      current.clear();
      open = false;
    } else {
      current.push_back(c);
      open = true;
    }
  }
  if (open)
    targets.push_back(std::move(current));
  return targets;
}

}  // namespace engine
