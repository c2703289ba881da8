// A one-line text box with a small browse button inside its right end: the folder fields and
// the settings-file field. The button, or Alt+Down in the box, asks for the field's dialog;
// what the dialog starts at and what follows it is the form's.
#pragma once

#include <QLineEdit>

namespace gui {

class PathField : public QLineEdit {
  Q_OBJECT

 public:
  explicit PathField(QWidget* parent);

 signals:
  void browseRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace gui
