#include "engine/platform/path_rules.h"

namespace platform {

const char kPathSeparator = '/';
const bool kBareNameNeedsWorkingFolder = false;

size_t ParentLength(std::string_view path) {
  size_t cut = path.rfind('/');
  return cut == std::string_view::npos ? 0 : cut + 1;
}

bool IsPathName(std::string_view name) {
  return name.find('/') != std::string_view::npos;
}

}  // namespace platform
