#include "engine/platform/win32/win32_error.h"

#include "engine/platform/win32/win32_text.h"

namespace platform {
namespace {

// A lock or sharing another program holds, a full disk, a network that went away for a moment.
bool MayPass(DWORD code) {
  switch (code) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_DELETE_PENDING:
    case ERROR_BUSY:
    case ERROR_DRIVE_LOCKED:
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_NETWORK_BUSY:
    case ERROR_BAD_NET_RESP:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_SEM_TIMEOUT:
    case ERROR_VC_DISCONNECTED:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_HOST_UNREACHABLE:
    case ERROR_CONNECTION_ABORTED:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string SystemMessage(DWORD code) {
  // The wide form, so the text reaches the engine whole in any language.
  wchar_t* text = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text),
      0, nullptr);
  std::string message;
  if (length > 0 && text != nullptr)
    message = Utf8FromWide(std::wstring_view(text, length));
  if (text != nullptr)
    LocalFree(text);
  while (!message.empty() &&
         (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
    message.pop_back();
  }
  if (message.empty())
    message = "error " + std::to_string(code);
  return message;
}

IoResult Win32Failure(const std::string& what, DWORD code) {
  IoResult r;
  if (code == ERROR_SUCCESS)
    code = ERROR_GEN_FAILURE;
  r.os_code = static_cast<int>(code);
  r.not_found = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
  r.no_space = code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL;
  r.may_pass = MayPass(code);
  r.message = what + ": " + SystemMessage(code);
  return r;
}

}  // namespace platform
