#include "engine/platform/win32/win32_temp_file.h"

#include <windows.h>

namespace platform {

bool RemoveFile(const std::string& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileA(path.c_str()) != 0;
}

}  // namespace platform
