#include "tests/windows/left_over.h"

#include <windows.h>

#include <stdexcept>

#include "engine/platform/temp_name.h"
#include "tests/windows/unicode_files.h"

namespace windows_tests {

std::string PutLeftOver(const std::string& folder, const std::string& bytes) {
  const std::string first = folder + "\\left-over.new";
  PutFile(first, bytes);
  HANDLE file = CreateFileW((L"\\\\?\\" + Wide(first)).c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info);
  if (file != INVALID_HANDLE_VALUE)
    CloseHandle(file);
  if (!known)
    throw std::runtime_error("cannot read the index of " + first);
  const std::string name =
      platform::TempNameFor((uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
  if (!MoveFileW((L"\\\\?\\" + Wide(first)).c_str(),
                 (L"\\\\?\\" + Wide(folder + "\\" + name)).c_str()))
    throw std::runtime_error("cannot rename " + first);
  return name;
}

}  // namespace windows_tests
