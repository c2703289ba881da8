#include "engine/platform/path_rules.h"

namespace platform {
namespace {

bool HasDrivePrefix(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

const char kPathSeparator = '\\';
const bool kBareNameNeedsWorkingFolder = true;

size_t ParentLength(std::string_view path) {
  // The OS takes "/" for "\" too, so a folder written with either is cut at the right place.
  size_t cut = path.find_last_of("\\/");
  if (cut != std::string_view::npos)
    return cut + 1;
  return HasDrivePrefix(path) ? 2 : 0;
}

bool IsPathName(std::string_view name) {
  // "C:a.bfs" and "conf/a.bfs" already name a place; joining them to the current folder
  // would make paths that point nowhere.
  return name.find_first_of("\\/") != std::string_view::npos || HasDrivePrefix(name);
}

}  // namespace platform
