// What the window's controls do: load a settings file into them, keep the dependent boxes'
// enabling, fill the folder fields, save the controls and run the file.
#include "gui/tf_main.h"

#include <exception>
#include <new>
#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "engine/load_options.h"
#include "engine/settings_file.h"
#include "engine/sync_run.h"
#include "gui/error_text.h"
#include "gui/flat_button.h"
#include "gui/link_label.h"
#include "gui/path_field.h"
#include "gui/progress_gauge.h"
#include "gui/settings_path.h"
#include "gui/window_sink.h"

namespace gui {

using engine::TOptionSync;

TfMain::TfMain(Dialogs& dialogs, ProgramContext context, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), context_(std::move(context)) {
  BuildControls();
  ConnectHandlers();
  FormCreate();
}

void TfMain::ConnectHandlers() {
  connect(btStart, &QPushButton::clicked, this, [this] { btStartClick(btStart); });
  connect(btExit, &QPushButton::clicked, this, [this] { btExitClick(btExit); });
  connect(cbINI, &QLineEdit::textChanged, this, [this] { cbINIChange(cbINI); });
  // A change made by the program counts as a click; setting the same state fires nothing.
  connect(chSyncSub, &QCheckBox::toggled, this, [this] { chSyncSubClick(chSyncSub); });
  connect(chAttr, &QCheckBox::toggled, this, [this] { chAttrClick(chAttr); });
  connect(SpeedButton6, &QToolButton::clicked, this, [this] { SpeedButton6Click(SpeedButton6); });
  connect(Label9, &LinkLabel::clicked, this, [this] { Label9Click(Label9); });
  cbINI->SetAfterDialog(
      [this](QString& name, bool& accepted) { cbINIAfterDialog(cbINI, name, accepted); });
  meMaster->SetAfterDialog(
      [this](QString& name, bool& accepted) { meMasterAfterDialog(meMaster, name, accepted); });
  meDest->SetAfterDialog(
      [this](QString& name, bool& accepted) { meDestAfterDialog(meDest, name, accepted); });
}

std::vector<TfMain::SettingRow> TfMain::SettingMap() const {
  return {
      {"SourceFolder", meSource, &TOptionSync::SourceFolder, nullptr},
      {"MasterFolder", meMaster, &TOptionSync::MasterFolder, nullptr},
      {"DestFolder", meDest, &TOptionSync::DestFolder, nullptr},
      {"SyncSub", chSyncSub, nullptr, &TOptionSync::SyncSub},
      {"CreateSub", chCreateSub, nullptr, &TOptionSync::CreateSub},
      {"Mask", meMask, &TOptionSync::Mask, nullptr},
      {"flSize", chSize, nullptr, &TOptionSync::flSize},
      {"flDate", chDate, nullptr, &TOptionSync::flDate},
      // Before the five boxes whose enabling it decides.
      {"flAttr", chAttr, nullptr, &TOptionSync::flAttr},
      {"flReadOnly", chReadOnly, nullptr, &TOptionSync::flReadOnly},
      {"flHidden", chHidden, nullptr, &TOptionSync::flHidden},
      {"flArchive", chArchive, nullptr, &TOptionSync::flArchive},
      {"flSystem", chSystem, nullptr, &TOptionSync::flSystem},
      {"flCompressed", chCompressed, nullptr, &TOptionSync::flCompressed},
  };
}

void TfMain::FormCreate() {
  SetStartupTexts();
  for (FolderField* field : {meSource, meMaster, meDest}) {
    field->SetInitialFolder(context_.program_folder);
  }
  // Setting the text loads the file, so the window shows it from the start.
  if (!context_.parameters.isEmpty())
    cbINI->setText(StartupSettingsName());
}

QString TfMain::StartupSettingsName() const {
  // An unquoted name with blanks reaches the program split into several parameters; joined
  // again it is used when it names an existing file.
  if (context_.parameters.size() > 1) {
    const QString joined = context_.parameters.join(' ');
    if (QFileInfo(SettingsPathFor(joined, context_.program_folder)).isFile())
      return joined;
  }
  return context_.parameters.first();
}

void TfMain::cbINIChange(QObject*) {
  LoadSettings();
}

void TfMain::cbINIAfterDialog(QObject*, QString&, bool&) {
  LoadSettings();
}

void TfMain::LoadSettings() {
  SettingsPath = SettingsPathFor(cbINI->text(), context_.program_folder);
  TOptionSync loaded;
  engine::LoadOptions(*context_.file_system, SettingsPath.toStdString(), loaded);
  engine::Options = loaded;
  ShowOptions();
}

void TfMain::ShowOptions() {
  for (const SettingRow& row : SettingMap()) {
    if (row.flag) {
      static_cast<QCheckBox*>(row.control)->setChecked(engine::Options.*row.flag);
      continue;
    }
    const QString text = stored_.Show(row.control, engine::Options.*row.text);
    if (auto* field = qobject_cast<QLineEdit*>(row.control))
      field->setText(text);
    if (auto* box = qobject_cast<QComboBox*>(row.control))
      box->setEditText(text);
  }
}

platform::IoResult TfMain::SaveOptions(const QString& path) {
  engine::SettingsFile file(*context_.file_system, path.toStdString());
  for (const SettingRow& row : SettingMap()) {
    platform::IoResult written;
    if (row.flag) {
      const bool checked = static_cast<QCheckBox*>(row.control)->isChecked();
      written = file.WriteSwitch(engine::kMainSection, row.key, checked);
    } else {
      QString text;
      if (auto* field = qobject_cast<QLineEdit*>(row.control))
        text = field->text();
      if (auto* box = qobject_cast<QComboBox*>(row.control))
        text = box->currentText();
      written = file.WriteText(engine::kMainSection, row.key, stored_.Bytes(row.control, text));
    }
    if (!written.ok())
      return written;
  }
  return {};
}

void TfMain::btStartClick(QObject*) {
  platform::IoResult saved = SaveOptions(SettingsPath);
  if (!saved.ok()) {
    ShowStandardError(QString::fromStdString(saved.message));
    return;
  }
  // The run holds this thread; the sink repaints the bottom strip as it goes.
  WindowSink sink(*Panel1, *lbState, *pb, btStart->x());
  try {
    engine::RunSync(*context_.file_system, SettingsPath.toStdString(), sink);
  } catch (const std::bad_alloc&) {
    ShowStandardError("Out of memory");
    return;
  } catch (const std::exception& e) {
    ShowStandardError(QString::fromLocal8Bit(e.what()));
    return;
  }
  // A run that failed somewhere must not look like a success.
  if (sink.failures() > 0) {
    dialogs_.ShowWarning(this, ProgramTitle(context_.program_file), sink.FailureSummary());
  }
}

void TfMain::btExitClick(QObject*) {
  platform::IoResult saved = SaveOptions(SettingsPath);
  if (!saved.ok()) {
    ShowStandardError(QString::fromStdString(saved.message));
    return;
  }
  close();
}

void TfMain::chSyncSubClick(QObject*) {
  chCreateSub->setEnabled(chSyncSub->isChecked());
}

void TfMain::chAttrClick(QObject*) {
  for (QCheckBox* box : {chReadOnly, chHidden, chArchive, chSystem, chCompressed}) {
    box->setEnabled(chAttr->isChecked());
  }
}

void TfMain::meMasterAfterDialog(QObject*, QString& name, bool&) {
  // Also after Cancel: the folder the dialog started in then fills the empty field.
  if (meDest->text().trimmed().isEmpty())
    meDest->setText(name);
}

void TfMain::meDestAfterDialog(QObject*, QString& name, bool&) {
  const QString dest = meDest->text().trimmed();
  if (AppendDest && !name.trimmed().isEmpty() && !dest.isEmpty()) {
    name = dest + ';' + name;
    AppendDest = false;
    return;
  }
  if (meMaster->text().trimmed().isEmpty())
    meMaster->setText(name);
}

void TfMain::SpeedButton6Click(QObject*) {
  AppendDest = true;
  meDest->OpenDialog();
}

void TfMain::Label9Click(QObject* sender) {
  // Whether the desktop could open it is not reported.
  if (auto* label = qobject_cast<QLabel*>(sender))
    dialogs_.OpenAddress(QUrl(label->text()));
}

void TfMain::ShowStandardError(const QString& message) {
  dialogs_.ShowError(this, ProgramTitle(context_.program_file), WithFullStop(message));
}

}  // namespace gui
