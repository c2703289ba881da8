#include "gui/dialogs.h"

#include <memory>

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QToolButton>
#include <QUrl>

namespace gui {
namespace {

std::optional<std::string> Run(QFileDialog* dialog) {
  std::unique_ptr<QFileDialog> owned(dialog);
  if (dialog->exec() != QDialog::Accepted)
    return std::nullopt;
  const QStringList chosen = dialog->selectedFiles();
  if (chosen.isEmpty())
    return std::nullopt;
  return chosen.first().toStdString();
}

QString ToQt(const std::string& text) {
  return QString::fromStdString(text);
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

std::optional<std::string> QtDialogs::ChooseFolder(const std::string& start) {
  return Run(MakeFolderDialog(owner_, ToQt(start)));
}

std::optional<std::string> QtDialogs::ChooseSettingsFile(const std::string& folder,
                                                         const std::string& name) {
  return Run(MakeSettingsDialog(owner_, ToQt(folder), ToQt(name)));
}

void QtDialogs::ShowError(const std::string& title, const std::string& text) {
  QMessageBox::critical(owner_, ToQt(title), ToQt(text), QMessageBox::Ok);
}

void QtDialogs::ShowWarning(const std::string& title, const std::string& text) {
  QMessageBox::warning(owner_, ToQt(title), ToQt(text), QMessageBox::Ok);
}

void QtDialogs::OpenAddress(const std::string& address) {
  // A local path becomes a file:// address; the desktop's answer is not reported.
  QDesktopServices::openUrl(QUrl::fromUserInput(ToQt(address)));
}

}  // namespace gui
