#include "engine/platform/win32/win32_probes.h"

#include <windows.h>

#include "engine/platform/path_rules.h"
#include "engine/platform/temp_name.h"
#include "engine/platform/win32/win32_error.h"
#include "engine/platform/win32/win32_handles.h"
#include "engine/platform/win32/win32_system_path.h"

namespace platform {
namespace {

IoResult Refused(const std::string& what, DWORD code, const char* reason = nullptr) {
  IoResult r = Win32Failure(what, code);
  if (reason != nullptr)
    r.message = what + ": " + reason;
  return r;
}

}  // namespace

IoResult Win32ProbeMakeFolder(const std::string& path) {
  const std::string what = "create folder " + path;
  // The attributes of what stands there, a link's own: MakeFolder accepts what they call a
  // folder (a link to a folder, a junction) and refuses anything else.
  const DWORD attr = GetFileAttributesW(SystemPath(path).c_str());
  if (attr != INVALID_FILE_ATTRIBUTES) {
    return (attr & FILE_ATTRIBUTE_DIRECTORY) ? IoResult{} : Refused(what, ERROR_ALREADY_EXISTS);
  }
  // A parent the disk does not show yet is one the run makes first.
  return {};
}

IoResult Win32ProbeCopySource(const std::string& from) {
  const std::string what = "read " + from;
  // Opened as the copy opens it, and closed again unread.
  FileHandle source(CreateFileW(SystemPath(from).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!source.ok())
    return Refused(what, GetLastError());
  if (GetFileType(source.get()) != FILE_TYPE_DISK)
    return Refused(what, ERROR_INVALID_NAME, "not a file");
  return {};
}

IoResult Win32ProbeCopyFolder(const std::string& to) {
  const std::string folder = to.substr(0, ParentLength(to));
  const std::string what = "write into " + folder;
  // The temporary file's own path: a missing folder, or a file standing for one of its
  // folders, refuses here as creating the file would.
  const DWORD attr = GetFileAttributesW(SystemPath(folder + NewTempName()).c_str());
  if (attr == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_NOT_FOUND)
      return Refused(what, code);
  }
  // Whether the folder takes a new file, asked of its access list without making one.
  if (!folder.empty()) {
    FileHandle opened(CreateFileW(SystemPath(folder).c_str(), FILE_ADD_FILE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!opened.ok() && GetLastError() == ERROR_ACCESS_DENIED)
      return Refused(what, ERROR_ACCESS_DENIED);
  }
  return {};
}

IoResult Win32ProbeCopyDestination(const std::string& to) {
  const std::string what = "replace " + to;
  // The rename replaces a file or a link to one, never a folder.
  const DWORD attr = GetFileAttributesW(SystemPath(to).c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY))
    return Refused(what, ERROR_ACCESS_DENIED);
  return {};
}

}  // namespace platform
