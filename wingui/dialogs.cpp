#include "wingui/dialogs.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "engine/platform/win32/win32_text.h"

namespace wingui {
namespace {

// While a dialog is open the system shows no box of its own for a drive without a medium or a
// file it cannot find.
class QuietErrors {
 public:
  QuietErrors() : old_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
  ~QuietErrors() { SetErrorMode(old_); }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

 private:
  UINT old_;
};

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (p_)
      p_->Release();
  }
  T** operator&() { return &p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

// "\" names the root of the current drive; the dialog wants a full path.
std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0)
    return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  full.resize(length < size ? length : 0);
  return full.empty() ? path : full;
}

}  // namespace

std::wstring Wide(const std::string& utf8) {
  std::wstring wide;
  if (platform::WideFromUtf8(utf8, &wide))
    return wide;
  return platform::ReadableWide(utf8);
}

std::string Utf8(const std::wstring& wide) {
  return platform::Utf8FromWide(wide);
}

std::optional<std::string> Win32Dialogs::ChooseFolder(const std::string& start) {
  QuietErrors quiet;
  ComPtr<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IFileOpenDialog, reinterpret_cast<void**>(&dialog)))) {
    return std::nullopt;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST |
                     FOS_NOCHANGEDIR);
  dialog->SetTitle(L"Select Directory");
  ComPtr<IShellItem> folder;
  if (SUCCEEDED(SHCreateItemFromParsingName(FullPath(Wide(start)).c_str(), nullptr, IID_IShellItem,
                                            reinterpret_cast<void**>(&folder)))) {
    dialog->SetFolder(folder.get());
  }
  if (FAILED(dialog->Show(owner_)))
    return std::nullopt;  // cancelled
  ComPtr<IShellItem> chosen;
  if (FAILED(dialog->GetResult(&chosen)))
    return std::nullopt;
  wchar_t* path = nullptr;
  if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)))
    return std::nullopt;
  const std::string result = Utf8(path);
  CoTaskMemFree(path);
  return result;
}

std::optional<std::string> Win32Dialogs::ChooseSettingsFile(const std::string& folder,
                                                            const std::string& name) {
  QuietErrors quiet;
  // Room for the longest path the system allows.
  std::vector<wchar_t> file(32768, L'\0');
  const std::wstring preset = Wide(name);
  if (preset.size() < file.size())
    preset.copy(file.data(), preset.size());
  const std::wstring initial = Wide(folder);
  static constexpr wchar_t kFilter[] = L"Sync files (*.bfs)\0*.bfs\0";
  OPENFILENAMEW open = {};
  open.lStructSize = sizeof(open);
  open.hwndOwner = owner_;
  open.lpstrFilter = kFilter;
  open.nFilterIndex = 1;
  open.lpstrFile = file.data();
  open.nMaxFile = static_cast<DWORD>(file.size());
  open.lpstrInitialDir = initial.empty() ? nullptr : initial.c_str();
  open.lpstrTitle = L"Список";
  // A name that does not exist yet may be chosen: the next save creates it.
  open.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  if (!GetOpenFileNameW(&open))
    return std::nullopt;
  return Utf8(file.data());
}

void Win32Dialogs::ShowError(const std::string& title, const std::string& text) {
  MessageBoxW(owner_, Wide(text).c_str(), Wide(title).c_str(), MB_OK | MB_ICONERROR);
}

void Win32Dialogs::ShowWarning(const std::string& title, const std::string& text) {
  MessageBoxW(owner_, Wide(text).c_str(), Wide(title).c_str(), MB_OK | MB_ICONWARNING);
}

void Win32Dialogs::OpenAddress(const std::string& address) {
  // The result is not looked at: a failure shows nothing.
  ShellExecuteW(nullptr, L"open", Wide(address).c_str(), L"", L"", SW_SHOWMAXIMIZED);
}

}  // namespace wingui
