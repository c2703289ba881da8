// The real dialogs and boxes behind the form's dialogs.
#include "gui/dialogs.h"

#include <functional>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "tests/gui/gui_test_registry.h"

namespace {

// Runs `body` on the modal widget once its loop has started, then makes sure it is closed, so a
// failed check inside cannot leave the test waiting.
void OnModal(std::function<void(QWidget*)> body) {
  QTimer::singleShot(0, [body] {
    QPointer<QWidget> modal = QApplication::activeModalWidget();
    if (!modal)
      return;
    body(modal);
    if (modal && modal->isVisible()) {
      if (auto* dialog = qobject_cast<QDialog*>(modal.data()))
        dialog->reject();
    }
  });
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void FolderDialogPicksButCannotCreate() {
    QTemporaryDir dir;
    std::unique_ptr<QFileDialog> dialog(gui::QtDialogs::MakeFolderDialog(nullptr, dir.path()));
    QCOMPARE(dialog->windowTitle(), QString("Select Directory"));
    QVERIFY(dialog->isModal());
    QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
    QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
    QVERIFY(dialog->testOption(QFileDialog::ReadOnly));
    QVERIFY(!dialog->testOption(QFileDialog::ShowDirsOnly));
    QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
    auto* new_folder = dialog->findChild<QToolButton*>("newFolderButton");
    QVERIFY(new_folder);  // Qt's own name for it; if it changes, this must be revisited
    QVERIFY(new_folder->isHidden());
    auto* model = dialog->findChild<QFileSystemModel*>();
    QVERIFY(model);
    QVERIFY(model->nameFilterDisables());  // files listed, greyed
    QCOMPARE(model->nameFilters(), QStringList{"/"});
  }

  void SettingsDialogListsSyncFilesAndTakesNewNames() {
    QTemporaryDir dir;
    std::unique_ptr<QFileDialog> dialog(
        gui::QtDialogs::MakeSettingsDialog(nullptr, dir.path(), "job.bfs"));
    QCOMPARE(dialog->windowTitle(), QString::fromUtf8("Список"));
    QCOMPARE(dialog->nameFilters(), QStringList{"Sync files (*.bfs)"});
    QCOMPARE(dialog->fileMode(), QFileDialog::AnyFile);
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
    QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
    QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
    QCOMPARE(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), QString("job.bfs"));
  }

  void ChosenNewSettingsFileIsReturned() {
    QTemporaryDir dir;
    gui::QtDialogs dialogs;
    OnModal([](QWidget* modal) {
      auto* name = modal->findChild<QLineEdit*>("fileNameEdit");
      if (!name)
        return;
      name->setText("new.bfs");  // as typed; the file does not exist
      static_cast<QDialog*>(modal)->accept();
    });
    QCOMPARE(dialogs.ChooseSettingsFile(dir.path().toStdString(), ""),
             std::optional<std::string>(dir.filePath("new.bfs").toStdString()));
  }

  void FolderDialogReturnsTheFolderInViewOrNothing() {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("a");
    gui::QtDialogs dialogs;
    OnModal([](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); });
    const std::string a = dir.filePath("a").toStdString();
    QCOMPARE(dialogs.ChooseFolder(a), std::optional<std::string>(a));
    OnModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    QCOMPARE(dialogs.ChooseFolder(dir.path().toStdString()), std::optional<std::string>());
  }

  void ErrorBoxIsCriticalWithOneOkButton() {
    gui::QtDialogs dialogs;
    QString seen;
    OnModal([&seen](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (!box)
        return;
      seen = QString("%1|%2|%3|%4")
                 .arg(box->windowTitle(), box->text())
                 .arg(box->icon() == QMessageBox::Critical)
                 .arg(box->buttons().size());
      box->button(QMessageBox::Ok)->click();
    });
    dialogs.ShowError("Parlowin", "Unable to write to /x.");
    QCOMPARE(seen, QString("Parlowin|Unable to write to /x.|1|1"));
  }
};

GUI_TEST_CLASS(DialogsTest);

#include "dialogs_test.moc"
