// Everything the form asks the user or the desktop through a modal box or another program.
// Texts are UTF-8; each call returns when the box or dialog has been closed.
#pragma once

#include <optional>
#include <string>

namespace form {

class FormDialogs {
 public:
  virtual ~FormDialogs() = default;

  // "Select Directory", starting at `start`: folders to pick from, files greyed, no way to
  // make a folder. The chosen folder's full path, or nothing when cancelled.
  virtual std::optional<std::string> ChooseFolder(const std::string& start) = 0;
  // "Список", listing *.bfs files; a name that does not exist yet may be chosen. `folder` and
  // `name` preset the dialog where they are not empty. The chosen full file name, or nothing
  // when cancelled.
  virtual std::optional<std::string> ChooseSettingsFile(const std::string& folder,
                                                        const std::string& name) = 0;
  // Boxes with one OK button, an error icon and a warning icon.
  virtual void ShowError(const std::string& title, const std::string& text) = 0;
  virtual void ShowWarning(const std::string& title, const std::string& text) = 0;
  // Hands a local path or an address to the desktop's default handler. A failure shows
  // nothing.
  virtual void OpenAddress(const std::string& address) = 0;
};

}  // namespace form
