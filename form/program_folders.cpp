#include "form/program_folders.h"

#include "engine/file_entry.h"
#include "engine/force_folder.h"
#include "engine/platform/path_rules.h"

namespace form {
namespace {

bool Absolute(const char* path) {
  return path != nullptr && path[0] == '/';
}

// XDG folders are POSIX paths, whatever this OS's separator.
std::string XdgFolder(const char* base, const char* below) {
  std::string folder = base;
  while (!folder.empty() && folder.back() == '/') folder.pop_back();
  return folder + "/" + below;
}

std::string WithoutTrailingSeparators(std::string folder) {
  while (folder.size() > 1 && folder.back() == platform::kPathSeparator) folder.pop_back();
  return folder;
}

}  // namespace

bool FileExists(platform::FileSystem& fs, const std::string& path) {
  uint32_t attr = 0;
  return fs.GetAttributes(path, &attr).ok() && (attr & engine::kAttrFolder) == 0;
}

std::string XdgSettingsFolder(const char* xdg_config_home, const char* home) {
  if (Absolute(xdg_config_home))
    return XdgFolder(xdg_config_home, "parlowen");
  if (Absolute(home))
    return XdgFolder(home, ".config/parlowen");
  return {};
}

std::string ChooseSettingsFolder(platform::FileSystem& fs, const std::string& program_folder,
                                 const std::string& user_folder) {
  // Asked as saving a settings file there would ask: may a new file be made in the folder?
  const std::string probe =
      WithoutTrailingSeparators(program_folder) + platform::kPathSeparator + "settings.bfs";
  if (user_folder.empty() || fs.ProbeCopyFolder(probe).ok())
    return program_folder;
  engine::ForceFolder(fs, user_folder);
  return user_folder;
}

std::string DocumentationPath(platform::FileSystem& fs, const std::string& program_folder) {
  const char separator = platform::kPathSeparator;
  const std::string folder = WithoutTrailingSeparators(program_folder);
  const std::string prefix = folder.substr(0, platform::ParentLength(folder));
  const std::string candidates[] = {
      prefix + "share" + separator + "doc" + separator + "parlowen" + separator + "README.md",
      folder + separator + "README.md",
  };
  for (const std::string& path : candidates) {
    if (FileExists(fs, path))
      return path;
  }
  return candidates[0];
}

}  // namespace form
