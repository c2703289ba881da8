#include "gui/dialogs.h"

#include <memory>

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QToolButton>

namespace gui {
namespace {

std::optional<QString> Run(QFileDialog* dialog) {
  std::unique_ptr<QFileDialog> owned(dialog);
  if (dialog->exec() != QDialog::Accepted)
    return std::nullopt;
  const QStringList chosen = dialog->selectedFiles();
  if (chosen.isEmpty())
    return std::nullopt;
  return chosen.first();
}

}  // namespace

QFileDialog* QtDialogs::MakeFolderDialog(QWidget* parent, const QString& start) {
  auto* dialog = new QFileDialog(parent, "Select Directory", start);
  dialog->setModal(true);
  // Read-only: no new folder, no renaming, no deleting; the dialog only picks what exists.
  dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly);
  dialog->setFileMode(QFileDialog::Directory);
  if (auto* button = dialog->findChild<QToolButton*>("newFolderButton"))
    button->hide();
  // File names stay in view, greyed, so the user sees what a folder holds.
  if (auto* model = dialog->findChild<QFileSystemModel*>()) {
    model->setNameFilterDisables(true);
    model->setNameFilters({"/"});
  }
  return dialog;
}

QFileDialog* QtDialogs::MakeSettingsDialog(QWidget* parent, const QString& folder,
                                           const QString& name) {
  auto* dialog = new QFileDialog(parent, QString::fromUtf8("Список"));
  dialog->setModal(true);
  dialog->setOptions(QFileDialog::DontUseNativeDialog);
  // A name that does not exist yet may be chosen: the file is created by the next save.
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setNameFilter("Sync files (*.bfs)");
  if (!folder.isEmpty())
    dialog->setDirectory(folder);
  if (!name.isEmpty())
    dialog->selectFile(name);
  return dialog;
}

std::optional<QString> QtDialogs::ChooseFolder(QWidget* parent, const QString& start) {
  return Run(MakeFolderDialog(parent, start));
}

std::optional<QString> QtDialogs::ChooseSettingsFile(QWidget* parent, const QString& folder,
                                                     const QString& name) {
  return Run(MakeSettingsDialog(parent, folder, name));
}

void QtDialogs::ShowError(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::critical(parent, title, text, QMessageBox::Ok);
}

void QtDialogs::ShowWarning(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}

bool QtDialogs::OpenAddress(const QUrl& address) {
  return QDesktopServices::openUrl(address);
}

}  // namespace gui
