#include "engine/platform/dry_run_file_system.h"

#include <cstdint>

#include "engine/file_entry.h"
#include "engine/platform/path_rules.h"

namespace platform {
namespace {

bool IsSeparator(char c) {
  return c == kPathSeparator || c == '/';
}

// "/d//sub/", "/d/./sub" and "/d/sub" name the same folder.
std::string Canonical(const std::string& path) {
  std::string out;
  out.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    char c = path[i];
    if (IsSeparator(c)) {
      if (!out.empty() && out.back() == kPathSeparator)
        continue;
      c = kPathSeparator;
    } else if (c == '.' && !out.empty() && out.back() == kPathSeparator &&
               (i + 1 == path.size() || IsSeparator(path[i + 1]))) {
      continue;  // a "." between separators names the folder before it
    }
    out.push_back(c);
  }
  if (out.size() > 1 && out.back() == kPathSeparator)
    out.pop_back();
  return out;
}

// The same failure as `found`, told for `what`: "<what>: <the OS's reason>".
IoResult RefusedAs(const std::string& what, const IoResult& found) {
  IoResult r = found;
  size_t reason = found.message.rfind(": ");
  r.message =
      what + (reason == std::string::npos ? ": " + found.message : found.message.substr(reason));
  return r;
}

// No device has this number, so a made folder never shares an identity with a real one.
constexpr uint64_t kMadeFoldersDevice = UINT64_MAX;

}  // namespace

void DryRunFileSystem::BeginRun() {
  made_folders_.clear();
  checked_folder_.clear();
  checked_folder_result_ = {};
  real_.BeginRun();
}

bool DryRunFileSystem::Made(const std::string& path) const {
  return !made_folders_.empty() && made_folders_.count(Canonical(path)) != 0;
}

IoResult DryRunFileSystem::GetAttributes(const std::string& path, uint32_t* attr) {
  if (Made(path)) {
    *attr = engine::kAttrFolder;
    return {};
  }
  return real_.GetAttributes(path, attr);
}

IoResult DryRunFileSystem::GetFolderId(const std::string& path, FolderId* id) {
  if (!made_folders_.empty()) {
    auto made = made_folders_.find(Canonical(path));
    if (made != made_folders_.end()) {
      *id = {kMadeFoldersDevice, made->second};
      return {};
    }
  }
  return real_.GetFolderId(path, id);
}

IoResult DryRunFileSystem::MakeFolder(const std::string& path) {
  IoResult probe = real_.ProbeMakeFolder(path);
  if (!probe.ok())
    return probe;
  made_folders_.emplace(Canonical(path), made_folders_.size());
  return {};
}

IoResult DryRunFileSystem::CopyOver(const std::string& from, const std::string& to, SourceStamp,
                                    SourceStamp* copied) {
  *copied = 0;
  // Asked in the order the copy meets them: the source, the destination's folder, the
  // destination itself.
  const std::string what = "copy " + from + " -> " + to;
  IoResult source = real_.ProbeCopySource(from);
  if (!source.ok())
    return RefusedAs(what, source);
  std::string folder = to.substr(0, ParentLength(to));
  if (!folder.empty()) {
    // Copies come folder by folder, so one look at each destination folder is enough.
    if (folder != checked_folder_) {
      checked_folder_result_ = real_.ProbeCopyFolder(to);
      // A folder this dry run made is missing on the disk only.
      if (checked_folder_result_.not_found && Made(folder))
        checked_folder_result_ = {};
      checked_folder_ = std::move(folder);
    }
    if (!checked_folder_result_.ok())
      return RefusedAs(what, checked_folder_result_);
  }
  IoResult destination = real_.ProbeCopyDestination(to);
  if (!destination.ok())
    return RefusedAs(what, destination);
  return {};
}

}  // namespace platform
