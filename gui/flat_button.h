// The small flat button: its border shows only under the mouse, and it never takes the focus,
// so clicking it leaves the focus where the user was typing.
#pragma once

#include <QToolButton>

namespace gui {

class FlatButton : public QToolButton {
  Q_OBJECT

 public:
  FlatButton(const QString& text, QWidget* parent);
};

}  // namespace gui
