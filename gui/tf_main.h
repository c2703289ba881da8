// The one window of parlowin: a fixed-size dialog-style window with three tab pages above a
// bottom strip holding the status line, the gauge and the buttons Start and Exit.
#pragma once

#include <string>
#include <vector>

#include <QString>
#include <QStringList>
#include <QWidget>

#include "engine/option_sync.h"
#include "engine/platform/file_system.h"
#include "gui/dialogs.h"
#include "gui/stored_texts.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace gui {

class FileField;
class FlatButton;
class FolderField;
class LinkLabel;
class ProgressGauge;

// The support contact on the About page; a click hands it to the desktop.
inline constexpr char kSupportAddress[] = "https://parlowen.example.org/support";

// What the window takes from the running program.
struct ProgramContext {
  QStringList parameters;  // the command line after the program name and Qt's own options
  QString program_folder;  // the folder of the running program file
  QString program_file;    // the running program file's name, for the title of error boxes
  platform::FileSystem* file_system = &platform::DefaultFileSystem();
};

class TfMain : public QWidget {
  Q_OBJECT

 public:
  TfMain(Dialogs& dialogs, ProgramContext context, QWidget* parent = nullptr);

  // The controls, owned by the window. Each one's object name is its member name.
  QFrame* Panel1;
  QTabWidget* pc;
  QWidget* tsGeneral;
  QWidget* tsAbout;
  QPushButton* btExit;
  QPushButton* btStart;
  QLabel* Label1;
  ProgressGauge* pb;
  QGroupBox* gbPath;
  FolderField* meSource;
  FlatButton* SpeedButton2;
  FolderField* meMaster;
  FlatButton* SpeedButton4;
  FolderField* meDest;
  FlatButton* SpeedButton6;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QWidget* tsMisc;
  QCheckBox* chSyncSub;
  QCheckBox* chCreateSub;
  QLabel* Label5;
  QComboBox* meMask;
  QLabel* lbState;
  QGroupBox* gbFileMode;
  QCheckBox* chSize;
  QCheckBox* chDate;
  QCheckBox* chReadOnly;
  QCheckBox* chHidden;
  QCheckBox* chArchive;
  QCheckBox* chSystem;
  QCheckBox* chCompressed;
  QCheckBox* chAttr;
  FileField* cbINI;
  QLabel* Label6;
  QLabel* Label7;
  QLabel* Label8;
  LinkLabel* Label9;

  // Handlers, named after their control and event. The sender is the control that fired.
  void FormCreate();  // once, before the window is first shown
  void cbINIChange(QObject* sender);
  void cbINIAfterDialog(QObject* sender, QString& name, bool& accepted);
  void btStartClick(QObject* sender);
  void btExitClick(QObject* sender);
  void chSyncSubClick(QObject* sender);
  void chAttrClick(QObject* sender);
  void meMasterAfterDialog(QObject* sender, QString& name, bool& accepted);
  void meDestAfterDialog(QObject* sender, QString& name, bool& accepted);
  void SpeedButton6Click(QObject* sender);
  void Label9Click(QObject* sender);

 private:
  // One row of the control-to-setting map: a text key or a switch key.
  struct SettingRow {
    const char* key;
    QWidget* control;
    std::string engine::TOptionSync::*text;
    bool engine::TOptionSync::*flag;
  };
  std::vector<SettingRow> SettingMap() const;

  // Puts the engine's Options into the controls, in the map's order.
  void ShowOptions();
  // Writes every control to the file at `path`, one key at a time in the map's order; stops at
  // the first key that cannot be written, leaving the keys before it written.
  platform::IoResult SaveOptions(const QString& path);
  void ConnectHandlers();
  void LoadSettings();
  QString StartupSettingsName() const;
  void ShowStandardError(const QString& message);

  // tf_main_controls.cpp: construction only, no behaviour.
  void BuildControls();
  void BuildBottomStrip();
  void BuildGeneralPage();
  void BuildMiscPage();
  void BuildAboutPage();
  void SetTabOrder();
  void SetStartupTexts();
  void CentreOnScreen();

  Dialogs& dialogs_;
  ProgramContext context_;
  QString SettingsPath;     // the full path of the current settings file
  bool AppendDest = false;  // the next dialog of meDest appends to its list
  StoredTexts stored_;
};

// Sets a control's visible text; a label then sizes itself to it, growing to the right.
void SetCaption(QWidget* control, const QString& text);

}  // namespace gui
