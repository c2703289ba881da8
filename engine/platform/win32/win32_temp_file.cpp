#include "engine/platform/win32/win32_temp_file.h"

#include <windows.h>

#include "engine/platform/win32/win32_system_path.h"

namespace platform {

bool RemoveFile(const std::string& path) {
  const std::wstring system_path = SystemPath(path);
  SetFileAttributesW(system_path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileW(system_path.c_str()) != 0;
}

}  // namespace platform
