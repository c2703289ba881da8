// The one window of parlowin as Qt Widgets draws it: a fixed-size dialog-style window with
// three tab pages above a bottom strip holding the status line, the gauge and the buttons
// Start and Exit. It is a view of the form, which holds every rule: the window lays the
// controls out, hands the form what the user does, and shows what the form sets.
#pragma once

#include <array>
#include <string>

#include <QWidget>

#include "form/control_id.h"
#include "form/form_dialogs.h"
#include "form/form_view.h"
#include "form/main_form.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace gui {

class FlatButton;
class LinkLabel;
class PathField;
class ProgressGauge;

class TfMain : public QWidget, public form::FormView {
  Q_OBJECT

 public:
  TfMain(form::FormDialogs& dialogs, form::FormContext context, QWidget* parent = nullptr);

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
  PathField* meSource;
  FlatButton* SpeedButton2;
  PathField* meMaster;
  FlatButton* SpeedButton4;
  PathField* meDest;
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
  PathField* cbINI;
  QLabel* Label6;
  QLabel* Label7;
  QLabel* Label8;
  LinkLabel* Label9;

  // form::FormView (tf_main_view.cpp).
  std::string Text(form::ControlId control) const override;
  void SetText(form::ControlId control, const std::string& text) override;
  bool Checked(form::ControlId box) const override;
  void SetChecked(form::ControlId box, bool checked) override;
  void SetEnabled(form::ControlId control, bool enabled) override;
  void Focus(form::ControlId control) override;
  void Close() override;
  void ShowRunDisplay(bool shown) override;
  void ShowStatus(const std::string& text) override;
  void ShowPercent(int percent) override;

 private:
  // Only what the user does reaches the form: the signals wired here are not sent for
  // changes the form makes (textEdited, not textChanged; clicked, not toggled).
  void ConnectHandlers();
  QWidget* Control(form::ControlId control) const;

  // tf_main_controls.cpp: construction only, no behaviour.
  void BuildControls();
  void BuildBottomStrip();
  void BuildGeneralPage();
  void BuildMiscPage();
  void BuildAboutPage();
  void SetTabOrder();
  void CentreOnScreen();

  std::array<QWidget*, form::kControlCount> controls_{};
  form::MainForm form_;
};

// Sets a control's visible text; a label then sizes itself to it, growing to the right.
void SetCaption(QWidget* control, const QString& text);

}  // namespace gui
