// What the form sets in the window and reads from it, control by control.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "gui/progress_gauge.h"
#include "gui/tf_main.h"

namespace gui {
namespace {

QString ToQt(const std::string& text) {
  return QString::fromStdString(text);
}

QTabWidget* TabsOf(QWidget* page) {
  QWidget* stack = page->parentWidget();
  return stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

}  // namespace

void SetCaption(QWidget* control, const QString& text) {
  if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(text);
    label->adjustSize();
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
    group->setTitle(text);
  } else if (QTabWidget* tabs = TabsOf(control)) {
    tabs->setTabText(tabs->indexOf(control), text);
  }
}

std::string TfMain::Text(form::ControlId control) const {
  QWidget* widget = Control(control);
  QString text;
  if (auto* field = qobject_cast<QLineEdit*>(widget)) {
    text = field->text();
  } else if (auto* box = qobject_cast<QComboBox*>(widget)) {
    text = box->currentText();
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    text = label->text();
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    text = button->text();
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    text = group->title();
  } else if (QTabWidget* tabs = TabsOf(widget)) {
    text = tabs->tabText(tabs->indexOf(widget));
  }
  return text.toStdString();
}

void TfMain::SetText(form::ControlId control, const std::string& text) {
  QWidget* widget = Control(control);
  if (auto* field = qobject_cast<QLineEdit*>(widget)) {
    field->setText(ToQt(text));
  } else if (auto* box = qobject_cast<QComboBox*>(widget)) {
    box->setEditText(ToQt(text));
  } else {
    SetCaption(widget, ToQt(text));
  }
}

bool TfMain::Checked(form::ControlId box) const {
  auto* check_box = qobject_cast<QCheckBox*>(Control(box));
  return check_box && check_box->isChecked();
}

void TfMain::SetChecked(form::ControlId box, bool checked) {
  if (auto* check_box = qobject_cast<QCheckBox*>(Control(box)))
    check_box->setChecked(checked);
}

void TfMain::SetEnabled(form::ControlId control, bool enabled) {
  Control(control)->setEnabled(enabled);
}

void TfMain::Focus(form::ControlId control) {
  Control(control)->setFocus();
}

void TfMain::Close() {
  close();
}

void TfMain::ShowRunDisplay(bool shown) {
  // The status line waits for its first text before it is painted: its layout text is never
  // to be seen.
  lbState->setVisible(shown);
  pb->setVisible(shown);
}

void TfMain::ShowStatus(const std::string& text) {
  SetCaption(lbState, ToQt(text));
  // What would lie beneath the buttons is never seen. Stopping the line short of them keeps
  // the repaint off the buttons, which halves its cost: a run repaints once per copy.
  const int limit = btStart->x();
  if (lbState->geometry().right() >= limit)
    lbState->resize(limit - lbState->x(), lbState->height());
  // Qt paints the area a shorter text uncovers in the same pass.
  Panel1->repaint(lbState->geometry());
}

void TfMain::ShowPercent(int percent) {
  pb->SetPercent(percent);
}

}  // namespace gui
