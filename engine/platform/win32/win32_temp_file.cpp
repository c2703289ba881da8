#include "engine/platform/win32/win32_temp_file.h"

#include <windows.h>

#include <cstring>
#include <random>

#include "engine/platform/win32/win32_system_path.h"

namespace platform {
namespace {

constexpr char kPrefix[] = ".~parlowen-";
constexpr char kSuffix[] = ".tmp";
constexpr size_t kDigits = 16;
constexpr char kHex[] = "0123456789abcdef";

}  // namespace

std::string NewTempName() {
  static std::mt19937_64 random(std::random_device{}() ^
                                (static_cast<uint64_t>(GetCurrentProcessId()) << 32) ^
                                GetTickCount64());
  uint64_t bits = random();
  std::string name = kPrefix;
  for (size_t i = 0; i < kDigits; ++i) name.push_back(kHex[(bits >> (4 * i)) & 15]);
  name += kSuffix;
  return name;
}

bool IsTempName(const char* name) {
  const size_t prefix = sizeof kPrefix - 1, suffix = sizeof kSuffix - 1;
  if (std::strlen(name) != prefix + kDigits + suffix)
    return false;
  if (std::strncmp(name, kPrefix, prefix) != 0)
    return false;
  if (std::strcmp(name + prefix + kDigits, kSuffix) != 0)
    return false;
  for (size_t i = prefix; i < prefix + kDigits; ++i) {
    if (!std::strchr(kHex, name[i]))
      return false;
  }
  return true;
}

bool RemoveFile(const std::string& path) {
  const std::wstring system_path = SystemPath(path);
  SetFileAttributesW(system_path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileW(system_path.c_str()) != 0;
}

}  // namespace platform
