#include "engine/platform/dry_run_file_system.h"

#include <cerrno>
#include <cstring>

#include "engine/file_entry.h"

namespace platform {
namespace {

// "/d//sub/" and "/d/sub" name the same folder.
std::string Canonical(const std::string& path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    if (c == '/' && !out.empty() && out.back() == '/')
      continue;
    out.push_back(c);
  }
  if (out.size() > 1 && out.back() == '/')
    out.pop_back();
  return out;
}

IoResult Refused(const std::string& what, int code) {
  IoResult r;
  r.os_code = code;
  r.not_found = code == ENOENT || code == ENOTDIR;
  r.message = what + ": " + std::strerror(code);
  return r;
}

}  // namespace

IoResult DryRunFileSystem::GetAttributes(const std::string& path, uint32_t* attr) {
  if (!made_folders_.empty() && made_folders_.count(Canonical(path)) != 0) {
    *attr = engine::kAttrFolder;
    return {};
  }
  return inner_.GetAttributes(path, attr);
}

IoResult DryRunFileSystem::MakeFolder(const std::string& path) {
  uint32_t attr = 0;
  if (GetAttributes(path, &attr).ok() && (attr & engine::kAttrFolder) == 0) {
    return Refused("create folder " + path, EEXIST);
  }
  made_folders_.insert(Canonical(path));
  return {};
}

IoResult DryRunFileSystem::CopyOver(const std::string& from, const std::string& to) {
  const std::string what = "copy " + from + " -> " + to;
  const size_t cut = to.rfind('/');
  if (cut != std::string::npos) {
    // Copies come folder by folder, so one look at each destination folder is enough.
    std::string folder = cut == 0 ? "/" : to.substr(0, cut);
    if (folder != checked_folder_) {
      uint32_t attr = 0;
      IoResult found = GetAttributes(folder, &attr);
      checked_folder_code_ = !found.ok()                         ? found.os_code
                             : (attr & engine::kAttrFolder) == 0 ? ENOTDIR
                                                                 : 0;
      checked_folder_ = std::move(folder);
    }
    if (checked_folder_code_ != 0)
      return Refused(what, checked_folder_code_);
  }
  uint32_t attr = 0;
  if (GetAttributes(to, &attr).ok() && (attr & engine::kAttrFolder) != 0) {
    return Refused(what, EISDIR);
  }
  return {};
}

}  // namespace platform
