// The form's boxes and dialogs with the system's own: the folder dialog (IFileOpenDialog
// picking folders), the open-file dialog, message boxes and the shell's "open".
#pragma once

#include <windows.h>

#include "form/form_dialogs.h"

namespace wingui {

class Win32Dialogs : public form::FormDialogs {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }

  std::optional<std::string> ChooseFolder(const std::string& start) override;
  std::optional<std::string> ChooseSettingsFile(const std::string& folder,
                                                const std::string& name) override;
  void ShowError(const std::string& title, const std::string& text) override;
  void ShowWarning(const std::string& title, const std::string& text) override;
  void OpenAddress(const std::string& address) override;

 private:
  HWND owner_ = nullptr;
};

// UTF-8 to the system's UTF-16 and back; a name's lone surrogates survive both ways.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

}  // namespace wingui
