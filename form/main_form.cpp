#include "form/main_form.h"

#include <algorithm>
#include <exception>
#include <new>
#include <utility>

#include "engine/force_folder.h"
#include "engine/load_options.h"
#include "engine/platform/path_rules.h"
#include "engine/settings_file.h"
#include "engine/sync_run.h"
#include "form/enabling.h"
#include "form/path_texts.h"
#include "form/program_folders.h"
#include "form/setting_map.h"
#include "form/startup_texts.h"

namespace form {
namespace {

// The root of the current drive on Windows, "/" on POSIX.
std::string Root() {
  return std::string(1, platform::kPathSeparator);
}

// Without the blanks and control characters at either end.
std::string Trimmed(const std::string& text) {
  auto kept = [](char c) { return static_cast<unsigned char>(c) > ' '; };
  const auto first = std::find_if(text.begin(), text.end(), kept);
  const auto last = std::find_if(text.rbegin(), text.rend(), kept).base();
  return first < last ? std::string(first, last) : std::string();
}

}  // namespace

MainForm::MainForm(FormView& view, FormDialogs& dialogs, FormContext context)
    : view_(view), dialogs_(dialogs), context_(std::move(context)) {}

void MainForm::FormCreate() {
  for (const StartupText& text : kStartupTexts) view_.SetText(text.control, text.text);
  platform::FileSystem& fs = *context_.file_system;
  settings_folder_ = ChooseSettingsFolder(fs, context_.program_folder, context_.user_folder);
  for (ControlId field : {ControlId::meSource, ControlId::meMaster, ControlId::meDest}) {
    initial_folders_[field] = settings_folder_;
  }
  view_.SetText(ControlId::Label9, DocumentationPath(fs, context_.program_folder));
  // Setting the text loads the file, so the window shows it from the start.
  if (!context_.parameters.empty())
    SetSettingsText(StartupSettingsName());
}

std::string MainForm::StartupSettingsName() const {
  // An unquoted name with blanks reaches the program split into several parameters; joined
  // again it is used when it names an existing file.
  const std::vector<std::string>& parameters = context_.parameters;
  if (parameters.size() > 1) {
    std::string joined = parameters[0];
    for (size_t i = 1; i < parameters.size(); ++i) joined += ' ' + parameters[i];
    if (FileExists(SettingsPathFor(joined, settings_folder_)))
      return joined;
  }
  return parameters.front();
}

void MainForm::cbINIChange() {
  // A toolkit may report a text the program set, or the same text again.
  if (view_.Text(ControlId::cbINI) == loaded_text_)
    return;
  LoadSettings();
}

void MainForm::cbINIAfterDialog(std::string&, bool&) {
  LoadSettings();
}

void MainForm::SetSettingsText(const std::string& text) {
  if (text == stored_.Bytes(view_, ControlId::cbINI))
    return;
  // A name's own bytes, which the field may show otherwise where they are no UTF-8, are the
  // file's name for as long as the field shows them.
  stored_.Show(view_, ControlId::cbINI, text);
  LoadSettings();
}

void MainForm::LoadSettings() {
  loaded_text_ = view_.Text(ControlId::cbINI);
  SettingsPath = SettingsPathFor(stored_.Bytes(view_, ControlId::cbINI), settings_folder_);
  engine::TOptionSync loaded;
  engine::LoadOptions(*context_.file_system, SettingsPath, loaded);
  engine::Options = loaded;
  ShowOptions();
}

void MainForm::ShowOptions() {
  for (const SettingRow& row : SettingMap()) {
    if (row.flag) {
      view_.SetChecked(row.control, engine::Options.*row.flag);
    } else {
      stored_.Show(view_, row.control, engine::Options.*row.text);
    }
  }
  // A box set by the program counts as clicked: the rules hold after every load.
  ApplySubfolderRule(view_);
  ApplyAttributeRule(view_);
}

platform::IoResult MainForm::SaveOptions(const std::string& path) {
  engine::SettingsFile file(*context_.file_system, path);
  for (const SettingRow& row : SettingMap()) {
    const platform::IoResult written =
        row.flag ? file.WriteSwitch(engine::kMainSection, row.key, view_.Checked(row.control))
                 : file.WriteText(engine::kMainSection, row.key, stored_.Bytes(view_, row.control));
    if (!written.ok())
      return written;
  }
  return {};
}

bool MainForm::SavedOrReported() {
  const platform::IoResult saved = SaveOptions(SettingsPath);
  if (!saved.ok())
    ShowStandardError(saved.message);
  return saved.ok();
}

void MainForm::btStartClick() {
  if (!SavedOrReported())
    return;
  // The run holds this thread; the display paints the bottom strip as it goes.
  RunDisplay display(view_, gauge_);
  try {
    engine::RunSync(*context_.file_system, SettingsPath, display);
  } catch (const std::bad_alloc&) {
    ShowStandardError("Out of memory");
    return;
  } catch (const std::exception& e) {
    ShowStandardError(e.what());
    return;
  }
  // A run that failed somewhere must not look like a success.
  if (display.failures() > 0)
    dialogs_.ShowWarning(ProgramTitle(context_.program_file), display.FailureSummary());
}

void MainForm::btExitClick() {
  if (SavedOrReported())
    view_.Close();
}

void MainForm::chSyncSubClick() {
  ApplySubfolderRule(view_);
}

void MainForm::chAttrClick() {
  ApplyAttributeRule(view_);
}

void MainForm::BrowseClick(ControlId field) {
  if (field == ControlId::cbINI) {
    OpenSettingsDialog();
  } else {
    OpenFolderDialog(field);
  }
}

void MainForm::OpenFolderDialog(ControlId field) {
  std::string name = view_.Text(field);
  if (name.empty())
    name = initial_folders_[field].empty() ? Root() : initial_folders_[field];
  // Several folders separated by ";" name no folder either, so they start at the root.
  if (!FolderExists(name))
    name = Root();
  const std::optional<std::string> chosen = dialogs_.ChooseFolder(name);
  bool accepted = chosen.has_value();
  if (accepted)
    name = *chosen;
  view_.Focus(field);
  if (field == ControlId::meMaster)
    meMasterAfterDialog(name, accepted);
  if (field == ControlId::meDest)
    meDestAfterDialog(name, accepted);
  if (!accepted)
    return;
  view_.SetText(field, name);
  if (FolderExists(name))
    initial_folders_[field] = name;
}

void MainForm::OpenSettingsDialog() {
  const std::string current = stored_.Bytes(view_, ControlId::cbINI);
  std::string name = FileExists(current) ? current : FirstParameter(current);
  if (!name.empty() && name.find_first_of("<>\"[]|") == std::string::npos) {
    const std::string folder = FolderPart(name);
    if (!folder.empty() && FolderExists(folder))
      dialog_folder_ = folder;
    dialog_name_ = NamePart(name);
  }
  const std::optional<std::string> chosen =
      dialogs_.ChooseSettingsFile(dialog_folder_, dialog_name_);
  bool accepted = chosen.has_value();
  if (accepted)
    name = *chosen;
  view_.Focus(ControlId::cbINI);
  // Reloads the file of the text as it stands, also after Cancel: unsaved edits are dropped.
  cbINIAfterDialog(name, accepted);
  if (!accepted)
    return;
  SetSettingsText(QuotedIfBlank(name));
  dialog_folder_ = FolderPart(name);
  dialog_name_ = NamePart(name);
}

void MainForm::meMasterAfterDialog(std::string& name, bool&) {
  // Also after Cancel: the folder the dialog started in then fills the empty field.
  if (Trimmed(view_.Text(ControlId::meDest)).empty())
    view_.SetText(ControlId::meDest, name);
}

void MainForm::meDestAfterDialog(std::string& name, bool&) {
  const std::string dest = Trimmed(view_.Text(ControlId::meDest));
  if (AppendDest && !Trimmed(name).empty() && !dest.empty()) {
    name = dest + ';' + name;
    AppendDest = false;
    return;
  }
  if (Trimmed(view_.Text(ControlId::meMaster)).empty())
    view_.SetText(ControlId::meMaster, name);
}

void MainForm::SpeedButton6Click() {
  AppendDest = true;
  OpenFolderDialog(ControlId::meDest);
}

void MainForm::Label9Click() {
  dialogs_.OpenAddress(view_.Text(ControlId::Label9));
}

bool MainForm::FolderExists(const std::string& path) const {
  return engine::FolderExists(*context_.file_system, path);
}

bool MainForm::FileExists(const std::string& path) const {
  return form::FileExists(*context_.file_system, path);
}

void MainForm::ShowStandardError(const std::string& message) {
  dialogs_.ShowError(ProgramTitle(context_.program_file), WithFullStop(message));
}

}  // namespace form
