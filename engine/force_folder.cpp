#include "engine/force_folder.h"

#include "engine/file_entry.h"
#include "engine/platform/path_rules.h"

namespace engine {

bool FolderExists(platform::FileSystem& fs, const std::string& path) {
  uint32_t attr = 0;
  return fs.GetAttributes(path, &attr).ok() && (attr & kAttrFolder) != 0;
}

bool FolderExists(const std::string& path) {
  return FolderExists(platform::DefaultFileSystem(), path);
}

bool ForceFolder(platform::FileSystem& fs, const std::string& path, platform::IoResult* failure) {
  // Every trailing separator goes, not just one: a target written as "/d/" gives paths like
  // "/d//sub", whose parent "/d//" would otherwise look like a root and never be created.
  const char separator = platform::kPathSeparator;
  std::string folder = path;
  while (folder.size() > 1 && folder.back() == separator) folder.pop_back();
  if (folder.empty() || (folder.size() == 1 && folder[0] == separator) ||
      FolderExists(fs, folder)) {
    return true;
  }
  std::string parent = folder.substr(0, platform::ParentLength(folder));
  if (parent == folder)
    return true;
  if (!ForceFolder(fs, parent, failure))
    return false;
  platform::IoResult made = fs.MakeFolder(folder);
  if (!made.ok() && failure != nullptr)
    *failure = made;
  return made.ok();
}

bool ForceFolder(const std::string& path) {
  return ForceFolder(platform::DefaultFileSystem(), path);
}

}  // namespace engine
