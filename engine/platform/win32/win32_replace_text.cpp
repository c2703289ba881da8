#include "engine/platform/win32/win32_replace_text.h"

#include <windows.h>

#include <aclapi.h>

#include <algorithm>
#include <cstring>

#include "engine/platform/path_rules.h"
#include "engine/platform/win32/win32_attributes.h"
#include "engine/platform/win32/win32_error.h"
#include "engine/platform/win32/win32_handles.h"
#include "engine/platform/win32/win32_system_path.h"
#include "engine/platform/win32/win32_temp_file.h"

namespace platform {
namespace {

IoResult Refused(const std::string& what, DWORD code, const std::string& reason) {
  IoResult r = Win32Failure(what, code);
  r.message = what + ": " + reason;
  return r;
}

DWORD WriteAll(HANDLE file, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    DWORD wrote = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
    if (!WriteFile(file, text.data() + done, chunk, &wrote, nullptr))
      return GetLastError();
    if (wrote == 0)
      return ERROR_DISK_FULL;
    done += wrote;
  }
  return ERROR_SUCCESS;
}

// True when the name is one of several of its file, or a link to another file.
bool HasOtherNames(const std::wstring& system_path) {
  WIN32_FIND_DATAW data;
  FindHandle find(system_path, &data);
  if (find.ok() && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return true;
  FileHandle file(CreateFileW(system_path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  return file.ok() && GetFileInformationByHandle(file.get(), &info) && info.nNumberOfLinks > 1;
}

// Writes the text over the file's own bytes, so its attributes, owner, security and other
// names stay. A reader may meet it half written. Returns ERROR_SUCCESS or the error code.
DWORD WriteInPlace(const std::wstring& system_path, const std::string& text) {
  FileHandle file(CreateFileW(system_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok())
    return GetLastError();
  if (GetFileType(file.get()) != FILE_TYPE_DISK)
    return ERROR_INVALID_NAME;
  // The room first where the file system can promise it, so a full disk leaves the old text.
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size))
    return GetLastError();
  if (static_cast<LONGLONG>(text.size()) > size.QuadPart) {
    FILE_ALLOCATION_INFO room{};
    room.AllocationSize.QuadPart = static_cast<LONGLONG>(text.size());
    if (!SetFileInformationByHandle(file.get(), FileAllocationInfo, &room, sizeof room)) {
      const DWORD code = GetLastError();
      if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL)
        return code;
    }
  }
  if (DWORD code = WriteAll(file.get(), text); code != ERROR_SUCCESS)
    return code;
  if (!SetEndOfFile(file.get()))
    return GetLastError();
  return file.Close() ? ERROR_SUCCESS : GetLastError();
}

// The security a file may read and set on a file it has just made, as its owner.
constexpr DWORD kSecurityAccess = READ_CONTROL | WRITE_DAC;
constexpr SECURITY_INFORMATION kSecurityParts =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

// A file's owner, group and access list.
class Security {
 public:
  explicit Security(HANDLE file) {
    ok_ = GetSecurityInfo(file, SE_FILE_OBJECT, kSecurityParts, &owner_, &group_, &dacl_, nullptr,
                          &descriptor_) == ERROR_SUCCESS;
    DWORD revision = 0;
    ok_ = ok_ && GetSecurityDescriptorControl(descriptor_, &control_, &revision);
  }
  Security(const Security&) = delete;
  Security& operator=(const Security&) = delete;
  ~Security() { LocalFree(descriptor_); }

  bool ok() const { return ok_; }
  bool SameOwners(const Security& other) const {
    return EqualSid(owner_, other.owner_) && EqualSid(group_, other.group_);
  }
  bool SameAccess(const Security& other) const {
    if (Protected() != other.Protected() || (dacl_ == nullptr) != (other.dacl_ == nullptr))
      return false;
    return dacl_ == nullptr || (dacl_->AclSize == other.dacl_->AclSize &&
                                std::memcmp(dacl_, other.dacl_, dacl_->AclSize) == 0);
  }
  // Gives `file` this access list; false where refused.
  bool ApplyAccessTo(HANDLE file) const {
    const SECURITY_INFORMATION parts =
        DACL_SECURITY_INFORMATION |
        (Protected() ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
    return SetSecurityInfo(file, SE_FILE_OBJECT, parts, nullptr, nullptr, dacl_, nullptr) ==
           ERROR_SUCCESS;
  }

 private:
  bool Protected() const { return (control_ & SE_DACL_PROTECTED) != 0; }

  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  PSID owner_ = nullptr;
  PSID group_ = nullptr;
  PACL dacl_ = nullptr;
  SECURITY_DESCRIPTOR_CONTROL control_ = 0;
  bool ok_ = false;
};

// Gives the new file the old one's access list; true when it then has the old file's owner,
// group and access list, which only an administrator could give it otherwise.
bool TakeOverSecurity(HANDLE new_file, const std::wstring& old_path) {
  FileHandle old_file(CreateFileW(old_path.c_str(), READ_CONTROL,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
  if (!old_file.ok())
    return false;
  const Security old_security(old_file.get());
  const Security first(new_file);
  if (!old_security.ok() || !first.ok() || !first.SameOwners(old_security))
    return false;
  if (first.SameAccess(old_security))
    return true;
  if (!old_security.ApplyAccessTo(new_file))
    return false;
  const Security now(new_file);
  return now.ok() && now.SameOwners(old_security) && now.SameAccess(old_security);
}

}  // namespace

IoResult ReplaceTextFile(const std::string& path, const std::string& text) {
  const std::string what = "write " + path;
  if (path.empty())
    return Refused(what, ERROR_INVALID_NAME, "no file is named");
  const std::wstring system_path = SystemPath(path);
  const DWORD old_attr = GetFileAttributesW(system_path.c_str());
  const bool exists = old_attr != INVALID_FILE_ATTRIBUTES;
  if (exists && (old_attr & FILE_ATTRIBUTE_DIRECTORY))
    return Refused(what, ERROR_ACCESS_DENIED, "it is a folder");
  if (exists && (old_attr & FILE_ATTRIBUTE_READONLY))
    return Win32Failure(what, ERROR_ACCESS_DENIED);
  auto in_place = [&] {
    const DWORD code = WriteInPlace(system_path, text);
    return code == ERROR_SUCCESS ? IoResult{} : Win32Failure(what, code);
  };
  // A new file would part the name from the file's other names.
  if (exists && HasOtherNames(system_path))
    return in_place();
  TempFile temp;
  if (DWORD code = temp.Create(path.substr(0, ParentLength(path)), exists ? kSecurityAccess : 0);
      code != ERROR_SUCCESS) {
    return exists ? in_place() : Win32Failure(what, code);
  }
  if (DWORD code = WriteAll(temp.handle(), text); code != ERROR_SUCCESS)
    return Win32Failure(what, code);
  if (exists) {
    // The new text keeps the old file's hidden, system and archive marks.
    FILE_BASIC_INFO marks{};
    marks.FileAttributes = Settable(old_attr);
    if (!SetFileInformationByHandle(temp.handle(), FileBasicInfo, &marks, sizeof marks) ||
        !TakeOverSecurity(temp.handle(), system_path)) {
      return in_place();
    }
  }
  const DWORD code = temp.CommitAs(path);
  // Refused where the folder lets only the file's owner remove it, or the file may be written
  // but not removed.
  if (exists && code == ERROR_ACCESS_DENIED)
    return in_place();
  return code == ERROR_SUCCESS ? IoResult{} : Win32Failure(what, code);
}

}  // namespace platform
