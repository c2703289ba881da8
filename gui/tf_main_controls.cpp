// Construction of the window's controls: kind, name, parent, place, start-up state and the
// English layout texts, which the form replaces before the window is first shown.
#include <iterator>

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>

#include "gui/flat_button.h"
#include "gui/fonts.h"
#include "gui/link_label.h"
#include "gui/path_field.h"
#include "gui/progress_gauge.h"
#include "gui/tf_main.h"

namespace gui {
namespace {

constexpr int kClientWidth = 459;
constexpr int kClientHeight = 331;
const QColor kNavy(0, 0, 128);
const QColor kBlue(0, 0, 255);

template <typename Control>
Control* Place(Control* control, const char* name, int left, int top, int width, int height) {
  control->setObjectName(name);
  control->setGeometry(left, top, width, height);
  return control;
}

QLabel* MakeLabel(const char* name, QWidget* parent, int left, int top, int width, int height,
                  const QString& text) {
  QLabel* label = Place(new QLabel(parent), name, left, top, width, height);
  SetCaption(label, text);
  return label;
}

QCheckBox* MakeCheckBox(const char* name, QWidget* parent, int left, int top, int width, int height,
                        const QString& text, bool checked) {
  QCheckBox* box = Place(new QCheckBox(text, parent), name, left, top, width, height);
  box->setChecked(checked);
  return box;
}

QPushButton* MakeButton(const char* name, QWidget* parent, int left, const QString& text) {
  QPushButton* button = Place(new QPushButton(text, parent), name, left, 13, 75, 31);
  // Enter presses the focused button only; no button is the window's default.
  button->setAutoDefault(true);
  button->setDefault(false);
  return button;
}

void SetTextColor(QWidget* control, const QColor& color) {
  QPalette palette = control->palette();
  palette.setColor(QPalette::WindowText, color);
  control->setPalette(palette);
}

}  // namespace

void TfMain::BuildControls() {
  setObjectName("fMain");
  setWindowTitle("Parlowen");
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(kClientWidth, kClientHeight);
  setFont(WindowFont());
  QPalette face = palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  setPalette(face);
  setAutoFillBackground(true);
  setWindowIcon(QIcon(":/parlowin/icons/parlowin.png"));

  // Members in their declared order; every parent exists before its children.
  Panel1 = Place(new QFrame(this), "Panel1", 0, 280, kClientWidth, 51);
  pc = Place(new QTabWidget(this), "pc", 0, 0, kClientWidth, 280);
  tsGeneral = new QWidget;
  tsGeneral->setObjectName("tsGeneral");
  tsAbout = new QWidget;
  tsAbout->setObjectName("tsAbout");
  tsMisc = new QWidget;
  tsMisc->setObjectName("tsMisc");
  pc->addTab(tsGeneral, "General");
  pc->addTab(tsMisc, "Misc.");
  pc->addTab(tsAbout, "About");
  pc->setCurrentWidget(tsGeneral);

  BuildBottomStrip();
  BuildGeneralPage();
  BuildMiscPage();
  BuildAboutPage();
  SetTabOrder();
  CentreOnScreen();
}

void TfMain::BuildBottomStrip() {
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setLineWidth(1);
  btExit = MakeButton("btExit", Panel1, 376, "Exit");
  btStart = MakeButton("btStart", Panel1, 301, "Start");
  QFont bold;  // the window's font, bold
  bold.setBold(true);
  btStart->setFont(bold);
  pb = Place(new ProgressGauge(Panel1), "pb", 7, 30, 281, 13);
  pb->SetForeColor(kNavy);
  pb->hide();
  lbState = MakeLabel("lbState", Panel1, 8, 14, 33, 13, "lbState");
  lbState->hide();
  // A long status text passes beneath the buttons rather than over them.
  lbState->lower();
  pb->lower();
}

void TfMain::BuildGeneralPage() {
  Label1 = MakeLabel("Label1", tsGeneral, 8, 5, 92, 13, "Options from INI-file");
  gbPath = Place(new QGroupBox("Path", tsGeneral), "gbPath", 7, 44, 433, 165);
  meSource = Place(new PathField(gbPath), "meSource", 9, 32, 398, 21);
  SpeedButton2 = Place(new FlatButton("+", gbPath), "SpeedButton2", 406, 32, 22, 21);
  SpeedButton2->hide();  // never shown or used
  meMaster = Place(new PathField(gbPath), "meMaster", 9, 95, 399, 21);
  SpeedButton4 = Place(new FlatButton("+", gbPath), "SpeedButton4", 406, 95, 22, 21);
  SpeedButton4->hide();  // never shown or used
  meDest = Place(new PathField(gbPath), "meDest", 9, 135, 399, 21);
  SpeedButton6 = Place(new FlatButton("+", gbPath), "SpeedButton6", 406, 135, 22, 21);
  Label2 = MakeLabel("Label2", gbPath, 10, 18, 66, 13, "Source Folder");
  Label3 = MakeLabel("Label3", gbPath, 10, 81, 64, 13, "Master Folder");
  Label4 = MakeLabel("Label4", gbPath, 10, 121, 85, 13, "Destination Folder");
  chSyncSub = MakeCheckBox("chSyncSub", gbPath, 8, 56, 249, 17, "Synchronize Subfolders", true);
  chCreateSub = MakeCheckBox("chCreateSub", gbPath, 264, 56, 142, 17, "Create if not exists", true);
  cbINI = Place(new PathField(tsGeneral), "cbINI", 8, 24, 241, 21);
}

void TfMain::BuildMiscPage() {
  Label5 = MakeLabel("Label5", tsMisc, 8, 13, 44, 13, "File types");
  meMask = Place(new QComboBox(tsMisc), "meMask", 56, 11, 169, 21);
  meMask->setEditable(true);
  // The list stays empty: Enter must not add the typed mask to it.
  meMask->setInsertPolicy(QComboBox::NoInsert);
  meMask->setEditText("*.*");
  gbFileMode =
      Place(new QGroupBox("  Copy files if change  ", tsMisc), "gbFileMode", 8, 37, 441, 124);
  chSize = MakeCheckBox("chSize", gbFileMode, 10, 20, 97, 17, "Size", true);
  chDate = MakeCheckBox("chDate", gbFileMode, 10, 41, 97, 17, "Date - Time", true);
  chReadOnly = MakeCheckBox("chReadOnly", gbFileMode, 186, 36, 97, 17, "ReadOnly flag", false);
  chHidden = MakeCheckBox("chHidden", gbFileMode, 186, 53, 97, 16, "Hidden flag", false);
  chArchive = MakeCheckBox("chArchive", gbFileMode, 186, 68, 97, 17, "Archive flag", false);
  chSystem = MakeCheckBox("chSystem", gbFileMode, 186, 83, 97, 17, "System flag", false);
  chCompressed =
      MakeCheckBox("chCompressed", gbFileMode, 186, 100, 97, 16, "Compressed flag", false);
  chAttr = MakeCheckBox("chAttr", gbFileMode, 168, 20, 97, 17, "File Attributes", false);
  for (QCheckBox* box : {chReadOnly, chHidden, chArchive, chSystem, chCompressed}) {
    box->setEnabled(false);
  }
}

void TfMain::BuildAboutPage() {
  Label6 = Place(new QLabel(tsAbout), "Label6", 16, 8, 180, 19);
  Label6->setFont(HeadlineFont());
  SetTextColor(Label6, kNavy);
  SetCaption(Label6, "Parlowen  v 0.1b");
  Label7 = MakeLabel("Label7", tsAbout, 17, 28, 113, 13, QString::fromUtf8("© Parlowen authors"));
  Label8 = MakeLabel("Label8", tsAbout, 17, 44, 41, 13, "support  ");
  Label9 = Place(new LinkLabel(tsAbout), "Label9", 64, 44, 83, 13);
  Label9->setFont(WindowFont());
  SetTextColor(Label9, kBlue);  // its text, the contact, is the form's
}

void TfMain::SetTabOrder() {
  // The bottom strip first, then the tab strip, then the page shown; widgets on hidden pages
  // and disabled boxes are passed over, so Tab from a page's last control reaches btExit.
  QWidget* const order[] = {btExit,     btStart,     pc,        meSource, meMaster,     meDest,
                            chSyncSub,  chCreateSub, cbINI,     meMask,   chSize,       chDate,
                            chReadOnly, chHidden,    chArchive, chSystem, chCompressed, chAttr};
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
  btExit->setFocus();
}

void TfMain::CentreOnScreen() {
  // The client area is placed; the frame is not known before the window is shown.
  setGeometry(
      QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen()->availableGeometry()));
}

}  // namespace gui
