// The window's behaviour without a toolkit: the handlers of its controls under their names.
// They load a settings file into the controls whenever the settings-file field changes, keep
// the dependent boxes' enabling, fill the folder fields through their dialogs, write every
// control back to the file on Start and Exit, and run the file with the bottom strip as its
// progress display. A view creates the form, calls FormCreate before the window is first
// shown, and calls the handlers for what the user does.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/platform/file_system.h"
#include "form/control_id.h"
#include "form/form_dialogs.h"
#include "form/form_view.h"
#include "form/run_display.h"
#include "form/stored_texts.h"

namespace form {

// What the form takes from the running program. Texts are UTF-8.
struct FormContext {
  std::vector<std::string> parameters;  // the command line after the program name
  std::string program_folder;           // the folder of the running program file
  std::string program_file;             // its file name, for the title of error boxes
  // The user's own folder for settings files, used where the program folder does not let the
  // user make files (see program_folders.h); empty for none.
  std::string user_folder;
  platform::FileSystem* file_system = &platform::DefaultFileSystem();
};

class MainForm {
 public:
  MainForm(FormView& view, FormDialogs& dialogs, FormContext context);

  // Once, before the window is first shown: start-up texts, folders, the command line's file.
  void FormCreate();

  // The user changed the settings-file field's text (each keystroke). A call for a text the
  // form already loaded does nothing.
  void cbINIChange();
  void btStartClick();
  void btExitClick();
  // The user clicked the box.
  void chSyncSubClick();
  void chAttrClick();
  void SpeedButton6Click();
  void Label9Click();
  // The browse button of a path field (meSource, meMaster, meDest, cbINI), or Alt+Down in it:
  // runs its dialog and the after-dialog handler, then fills the field.
  void BrowseClick(ControlId field);

  // Called after a field's dialog closed, OK (`accepted`) or Cancel, before the field's text
  // is touched; `name` is what the field will take, and the handler may change it.
  void cbINIAfterDialog(std::string& name, bool& accepted);
  void meMasterAfterDialog(std::string& name, bool& accepted);
  void meDestAfterDialog(std::string& name, bool& accepted);

 private:
  // Puts the engine's Options into the controls, in the map's order, then applies the
  // enabling rules.
  void ShowOptions();
  // Writes every control to the file at `path`, one key at a time in the map's order; stops at
  // the first key that cannot be written, leaving the keys before it written.
  platform::IoResult SaveOptions(const std::string& path);
  // SaveOptions(SettingsPath); a refusal is shown in the error box.
  bool SavedOrReported();
  void LoadSettings();
  // The program's change of the settings-file field's text, which loads the file it names
  // where the text differs.
  void SetSettingsText(const std::string& text);
  std::string StartupSettingsName() const;
  void OpenFolderDialog(ControlId field);
  void OpenSettingsDialog();
  bool FolderExists(const std::string& path) const;
  bool FileExists(const std::string& path) const;
  void ShowStandardError(const std::string& message);

  FormView& view_;
  FormDialogs& dialogs_;
  FormContext context_;
  std::string SettingsPath;  // the full path of the current settings file
  bool AppendDest = false;   // the next dialog of meDest appends to its list
  // Where a bare settings name is taken from: the program folder or the user's own.
  std::string settings_folder_;
  std::string loaded_text_;  // the settings-file field's text that was last loaded
  std::map<ControlId, std::string> initial_folders_;  // where an empty field's dialog starts
  std::string dialog_folder_;                         // the settings dialog's folder and name
  std::string dialog_name_;
  StoredTexts stored_;
  Gauge gauge_;
};

}  // namespace form
