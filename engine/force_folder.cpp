#include "engine/force_folder.h"

#include "engine/file_entry.h"

namespace engine {

bool FolderExists(platform::FileSystem& fs, const std::string& path) {
  uint32_t attr = 0;
  return fs.GetAttributes(path, &attr).ok() && (attr & kAttrFolder) != 0;
}

bool FolderExists(const std::string& path) {
  return FolderExists(platform::DefaultFileSystem(), path);
}

bool ForceFolder(platform::FileSystem& fs, const std::string& path, platform::IoResult* failure) {
  // Every trailing "/" goes, not just one: a target written as "/d/" gives paths like "/d//sub",
  // whose parent "/d//" would otherwise look like a root and never be created.
  std::string folder = path;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.empty() || folder == "/" || FolderExists(fs, folder)) return true;
  size_t cut = folder.rfind('/');
  std::string parent = cut == std::string::npos ? std::string() : folder.substr(0, cut + 1);
  if (parent == folder) return true;
  if (!ForceFolder(fs, parent, failure)) return false;
  platform::IoResult made = fs.MakeFolder(folder);
  if (!made.ok() && failure != nullptr) *failure = made;
  return made.ok();
}

bool ForceFolder(const std::string& path) {
  return ForceFolder(platform::DefaultFileSystem(), path);
}

}  // namespace engine
