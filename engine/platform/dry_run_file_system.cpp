#include "engine/platform/dry_run_file_system.h"

#include <cerrno>
#include <cstring>

#include "engine/file_entry.h"
#include "engine/platform/path_rules.h"

namespace platform {
namespace {

bool IsSeparator(char c) { return c == kPathSeparator || c == '/'; }

// "/d//sub/" and "/d/sub" name the same folder.
std::string Canonical(const std::string& path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    if (IsSeparator(c)) {
      if (!out.empty() && out.back() == kPathSeparator)
        continue;
      c = kPathSeparator;
    }
    out.push_back(c);
  }
  if (out.size() > 1 && out.back() == kPathSeparator)
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

// The same failure as `found`, told for `what`: "<what>: <the OS's reason>".
IoResult RefusedAs(const std::string& what, const IoResult& found) {
  IoResult r = found;
  size_t reason = found.message.rfind(": ");
  r.message = what + (reason == std::string::npos ? ": " + found.message
                                                  : found.message.substr(reason));
  return r;
}

}  // namespace

IoResult DryRunFileSystem::GetAttributes(const std::string& path, uint32_t* attr) {
  if (!made_folders_.empty() && made_folders_.count(Canonical(path)) != 0) {
    *attr = engine::kAttrFolder;
    return {};
  }
  return real_.GetAttributes(path, attr);
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
  std::string folder = to.substr(0, ParentLength(to));
  if (!folder.empty()) {
    // Copies come folder by folder, so one look at each destination folder is enough.
    if (folder != checked_folder_) {
      uint32_t attr = 0;
      checked_folder_result_ = GetAttributes(folder, &attr);
      if (checked_folder_result_.ok() && (attr & engine::kAttrFolder) == 0) {
        checked_folder_result_ = Refused("", ENOTDIR);
      }
      checked_folder_ = std::move(folder);
    }
    if (!checked_folder_result_.ok())
      return RefusedAs(what, checked_folder_result_);
  }
  uint32_t attr = 0;
  if (GetAttributes(to, &attr).ok() && (attr & engine::kAttrFolder) != 0) {
    return Refused(what, EISDIR);
  }
  return {};
}

}  // namespace platform
