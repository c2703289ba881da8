#include "engine/platform/win32/win32_temp_file.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "engine/platform/win32/win32_attributes.h"
#include "engine/platform/win32/win32_system_path.h"
#include "engine/platform/win32/win32_text.h"

namespace platform {
namespace {

bool IsPlainFile(DWORD attr) {
  return (attr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

void RemoveIfStale(const std::string& folder, const std::string& name) {
  const std::wstring path = SystemPathIn(folder, name);
  // Without sharing: refused while anyone, a copy under way above all, has the file open.
  // The link itself, should the name be one.
  FileHandle file(CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.ok())
    return;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file.get(), &info) || !IsPlainFile(info.dwFileAttributes))
    return;
  const uint64_t index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  if (TempNameFor(index) != name)
    return;
  // A copy of a read-only file is read-only before it takes its name, and the system deletes
  // no read-only file. The file cannot be renamed meanwhile: the handle shares no deletion.
  const bool read_only = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (read_only && !SetFileAttributesW(
                       path.c_str(), Settable(info.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY))) {
    return;
  }
  FILE_DISPOSITION_INFO dispose{TRUE};
  if (!SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose) &&
      read_only) {
    SetFileAttributesW(path.c_str(), Settable(info.dwFileAttributes));
  }
}

}  // namespace

bool RemoveFile(const std::string& path) {
  const std::wstring system_path = SystemPath(path);
  SetFileAttributesW(system_path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileW(system_path.c_str()) != 0;
}

bool FileIndexOf(HANDLE file, uint64_t* index) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info))
    return false;
  *index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  return true;
}

DWORD RenameOpenFile(HANDLE file, const std::wstring& system_to, bool replace) {
  const size_t name_bytes = system_to.size() * sizeof(wchar_t);
  // FILE_RENAME_INFO ends in the name; 8-byte units keep it aligned.
  std::vector<uint64_t> buffer(
      (offsetof(FILE_RENAME_INFO, FileName) + name_bytes + sizeof(wchar_t) + 7) / 8, 0);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = replace ? TRUE : FALSE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(name_bytes);
  std::memcpy(info->FileName, system_to.data(), name_bytes);
  if (!SetFileInformationByHandle(file, FileRenameInfo, info,
                                  static_cast<DWORD>(buffer.size() * 8))) {
    return GetLastError();
  }
  return ERROR_SUCCESS;
}

TempFile::~TempFile() {
  file_.Close();
  if (!path_.empty())
    RemoveFile(path_);
}

DWORD TempFile::Create(const std::string& folder, DWORD extra_access) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string path = folder + NewTempName();
    HANDLE file = CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE | DELETE | extra_access, 0,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD code = GetLastError();
      if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
        continue;
      return code;
    }
    file_.Reset(file);
    path_ = path;
    // Bound to its index before any data goes in, so that an interrupted copy leaves a file
    // a later run may remove. Should that name be taken, the file keeps the one it has.
    uint64_t index = 0;
    if (FileIndexOf(file, &index)) {
      const std::string bound = folder + TempNameFor(index);
      if (RenameOpenFile(file, SystemPath(bound), false) == ERROR_SUCCESS)
        path_ = bound;
    }
    return ERROR_SUCCESS;
  }
  return ERROR_FILE_EXISTS;
}

DWORD TempFile::CommitAs(const std::string& destination) {
  const std::wstring system_to = SystemPath(destination);
  // A read-only destination is replaced all the same; the rename would refuse it.
  const DWORD old_attr = GetFileAttributesW(system_to.c_str());
  bool cleared = false;
  if (old_attr != INVALID_FILE_ATTRIBUTES && (old_attr & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
      (old_attr & FILE_ATTRIBUTE_READONLY) != 0) {
    cleared = SetFileAttributesW(system_to.c_str(), Settable(old_attr & ~FILE_ATTRIBUTE_READONLY));
  }
  const DWORD code = RenameOpenFile(file_.get(), system_to, true);
  if (code != ERROR_SUCCESS) {
    if (cleared)
      SetFileAttributesW(system_to.c_str(), Settable(old_attr));
    return code;
  }
  path_.clear();
  file_.Close();
  return ERROR_SUCCESS;
}

DWORD TempFile::CloseHandleOnly() {
  return file_.Close() ? ERROR_SUCCESS : GetLastError();
}

void RemoveStaleTemporariesIn(const std::string& folder) {
  WIN32_FIND_DATAW data;
  FindHandle find(SystemPathIn(folder, ".~parlowen-*.tmp"), &data);
  if (!find.ok())
    return;
  do {
    if (!IsPlainFile(data.dwFileAttributes))
      continue;
    const std::string name = Utf8FromWide(data.cFileName);
    if (IsTempName(name))
      RemoveIfStale(folder, name);
  } while (FindNextFileW(find.get(), &data));
}

}  // namespace platform
