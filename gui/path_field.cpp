#include "gui/path_field.h"

#include <algorithm>

#include <QAction>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>

#include "engine/force_folder.h"
#include "gui/settings_path.h"

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

bool IsFolder(const QString& path) {
  return engine::FolderExists(path.toStdString());
}

}  // namespace

PathField::PathField(Dialogs& dialogs, QWidget* parent) : QLineEdit(parent), dialogs_(dialogs) {
  QAction* browse = addAction(BrowseIcon(), QLineEdit::TrailingPosition);
  browse->setObjectName("browse");
  connect(browse, &QAction::triggered, this, &PathField::OpenDialog);
}

void PathField::OpenDialog() {
  QString name = DialogStart();
  bool accepted = RunDialog(name);
  setFocus();
  if (after_dialog_)
    after_dialog_(name, accepted);
  if (accepted)
    Accept(name);
}

void PathField::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)) {
    event->accept();
    OpenDialog();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

QString FolderField::DialogStart() {
  QString start = text();
  if (start.isEmpty())
    start = initial_folder_.isEmpty() ? QString("/") : initial_folder_;
  // Several folders separated by ";" name no folder either, so they start at the root.
  if (!IsFolder(start))
    start = "/";
  return start;
}

bool FolderField::RunDialog(QString& name) {
  std::optional<QString> chosen = dialogs_.ChooseFolder(window(), name);
  if (!chosen)
    return false;
  name = *chosen;
  return true;
}

void FolderField::Accept(const QString& name) {
  setText(name);
  if (IsFolder(name))
    initial_folder_ = name;
}

QString FileField::DialogStart() {
  const QString current = text();
  const QString name = QFileInfo(current).isFile() ? current : FirstParameter(current);
  static const QString kUnusable = "<>\"[]|";
  const bool usable =
      std::none_of(name.begin(), name.end(), [](QChar c) { return kUnusable.contains(c); });
  if (!name.isEmpty() && usable) {
    const QString folder = FolderPart(name);
    if (!folder.isEmpty() && IsFolder(folder))
      dialog_folder_ = folder;
    dialog_name_ = NamePart(name);
  }
  return name;
}

bool FileField::RunDialog(QString& name) {
  std::optional<QString> chosen =
      dialogs_.ChooseSettingsFile(window(), dialog_folder_, dialog_name_);
  if (!chosen)
    return false;
  name = *chosen;
  return true;
}

void FileField::Accept(const QString& name) {
  setText(QuotedIfBlank(name));
  dialog_folder_ = FolderPart(name);
  dialog_name_ = NamePart(name);
}

}  // namespace gui
