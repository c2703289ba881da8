#include "gui/flat_button.h"

namespace gui {

FlatButton::FlatButton(const QString& text, QWidget* parent) : QToolButton(parent) {
  setText(text);
  setAutoRaise(true);
  setFocusPolicy(Qt::NoFocus);
  QFont bold;  // only the weight is set; the rest follows the window's font
  bold.setBold(true);
  setFont(bold);
}

}  // namespace gui
