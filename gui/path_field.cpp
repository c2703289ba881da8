#include "gui/path_field.h"

#include <QAction>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>

namespace gui {
namespace {

// Three dots: a text-only action would draw nothing inside the box.
QIcon BrowseIcon() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  for (int x : {3, 7, 11}) painter.fillRect(x, 10, 2, 2, Qt::black);
  return QIcon(pixmap);
}

}  // namespace

PathField::PathField(QWidget* parent) : QLineEdit(parent) {
  QAction* browse = addAction(BrowseIcon(), QLineEdit::TrailingPosition);
  browse->setObjectName("browse");
  connect(browse, &QAction::triggered, this, &PathField::browseRequested);
}

void PathField::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)) {
    event->accept();
    emit browseRequested();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace gui
