// The dry run's questions answered from GetAttributes, for file systems that cannot ask the
// disk the way their own calls would.
#include <cerrno>
#include <cstring>

#include "engine/file_entry.h"
#include "engine/platform/file_system.h"
#include "engine/platform/path_rules.h"

namespace platform {
namespace {

IoResult Refused(const std::string& what, int code) {
  IoResult r;
  r.os_code = code;
  r.not_found = code == ENOENT || code == ENOTDIR;
  r.message = what + ": " + std::strerror(code);
  return r;
}

}  // namespace

IoResult FileSystem::ProbeMakeFolder(const std::string& path) {
  uint32_t attr = 0;
  if (GetAttributes(path, &attr).ok() && (attr & engine::kAttrFolder) == 0) {
    return Refused("create folder " + path, EEXIST);
  }
  return {};
}

IoResult FileSystem::ProbeCopySource(const std::string&) {
  return {};
}

IoResult FileSystem::ProbeCopyFolder(const std::string& to) {
  const std::string folder = to.substr(0, ParentLength(to));
  if (folder.empty())
    return {};
  uint32_t attr = 0;
  IoResult found = GetAttributes(folder, &attr);
  if (found.ok() && (attr & engine::kAttrFolder) == 0)
    return Refused("status " + folder, ENOTDIR);
  return found;
}

IoResult FileSystem::ProbeCopyDestination(const std::string& to) {
  uint32_t attr = 0;
  if (GetAttributes(to, &attr).ok() && (attr & engine::kAttrFolder) != 0) {
    return Refused("replace " + to, EISDIR);
  }
  return {};
}

}  // namespace platform
