// The folder fields' dialogs with "+", the settings-file dialog, and the support contact.
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "gui/path_field.h"
#include "tests/gui/gui_test_registry.h"
#include "tests/gui/window_test_support.h"

class TfMainDialogsTest : public gui_tests::WindowTestBase {
  Q_OBJECT

 private slots:
  void init() { SetUpFolder(); }
  void cleanup() { TearDownFolder(); }

  void FolderDialogStartsAtTheFieldsFolderOrTheRoot_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("start");
    QTest::newRow("empty: the program folder") << ""
                                               << "<dir>";
    QTest::newRow("an existing folder") << "<dir>/a"
                                        << "<dir>/a";
    QTest::newRow("no such folder") << "<dir>/none"
                                    << "/";
    QTest::newRow("a list of folders") << "<dir>/a;<dir>/a"
                                       << "/";
  }
  void FolderDialogStartsAtTheFieldsFolderOrTheRoot() {
    QFETCH(QString, text);
    QFETCH(QString, start);
    MakeFolder("a");
    Open();
    Field("meSource")->setText(text.replace("<dir>", dir_->path()));
    Find<QWidget>("btExit")->setFocus();
    OpenDialogOf("meSource");
    QCOMPARE(dialogs_.calls, QStringList{"folder " + start.replace("<dir>", dir_->path())});
    QVERIFY(Field("meSource")->hasFocus());  // given back to the field
    // Alt+Down in the field opens the same dialog; Down alone does not.
    QTest::keyClick(Field("meSource"), Qt::Key_Down);
    QTest::keyClick(Field("meSource"), Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(dialogs_.calls.size(), 2);
    QCOMPARE(dialogs_.calls.last(), dialogs_.calls.first());
  }

  void ChosenFolderFillsTheFieldAndBecomesItsStart() {
    const QString chosen = MakeFolder("chosen");
    Open();
    dialogs_.folder_answers = {chosen};
    OpenDialogOf("meSource");
    QCOMPARE(Field("meSource")->text(), chosen);
    Field("meSource")->clear();
    OpenDialogOf("meSource");
    QCOMPARE(dialogs_.calls.last(), "folder " + chosen);
  }

  void MasterDialogFillsAnEmptyDestinationEvenWhenCancelled() {
    Open();
    OpenDialogOf("meMaster");  // cancelled
    QCOMPARE(Field("meMaster")->text(), QString());
    QCOMPARE(Field("meDest")->text(), dir_->path());

    const QString e = MakeFolder("e");
    Field("meDest")->setText("/kept");
    dialogs_.folder_answers = {e};
    OpenDialogOf("meMaster");
    QCOMPARE(Field("meMaster")->text(), e);
    QCOMPARE(Field("meDest")->text(), QString("/kept"));
  }

  void PlusAppendsTheChosenFolderToTheList() {
    const QString d = MakeFolder("d"), e = MakeFolder("e"), f = MakeFolder("f");
    Open();
    Field("meDest")->setText(d);
    Field("meMaster")->setText("/m");
    dialogs_.folder_answers = {e};
    Click("SpeedButton6");
    QCOMPARE(Field("meDest")->text(), d + ";" + e);
    QVERIFY(Field("meDest")->hasFocus());
    // The list names no folder, so the field's start stays where it was.
    QCOMPARE(Find<gui::FolderField>("meDest")->initialFolder(), dir_->path());

    // Appending ends with the dialog: the next one replaces.
    dialogs_.folder_answers = {f};
    OpenDialogOf("meDest");
    QCOMPARE(Field("meDest")->text(), f);
  }

  void PlusThenCancelKeepsTheListAndEndsAppending() {
    const QString d = MakeFolder("d"), f = MakeFolder("f");
    Open();
    Field("meDest")->setText(d);
    Field("meMaster")->setText("/m");
    Click("SpeedButton6");  // cancelled
    QCOMPARE(Field("meDest")->text(), d);
    dialogs_.folder_answers = {f};
    OpenDialogOf("meDest");
    QCOMPARE(Field("meDest")->text(), f);
  }

  void PlusOnAnEmptyListFillsItAndTheNextDialogAppends() {
    const QString e = MakeFolder("e"), f = MakeFolder("f");
    Open();
    dialogs_.folder_answers = {e, f};
    Click("SpeedButton6");
    QCOMPARE(Field("meDest")->text(), e);
    QCOMPARE(Field("meMaster")->text(), e);
    OpenDialogOf("meDest");  // its own button, still appending
    QCOMPARE(Field("meDest")->text(), e + ";" + f);
  }

  void ChosenSettingsFileWithABlankIsQuotedAndLoaded() {
    const QString path = WriteFile("My Sync/b.bfs", "[Main]\nSourceFolder=/from-b\n");
    Open();
    dialogs_.file_answers = {path};
    OpenDialogOf("cbINI");
    QCOMPARE(Field("cbINI")->text(), '"' + path + '"');
    QCOMPARE(Field("meSource")->text(), QString("/from-b"));
    // The settings path has no quotes: Exit writes to the file itself.
    Field("meSource")->setText("/edited");
    Click("btExit");
    QVERIFY(ReadFile("My Sync/b.bfs").startsWith("[Main]\nSourceFolder=/edited\n"));

    // The next dialog starts in the chosen file's folder with its name.
    window_->show();
    OpenDialogOf("cbINI");
    QCOMPARE(dialogs_.calls.last(), "file " + PathOf("My Sync/") + " | b.bfs");
  }

  void CancelledSettingsDialogRestoresTheControlsFromTheFile() {
    const QString path = WriteFile("job.bfs", "[Main]\nSourceFolder=/s\nflAttr=1\n");
    Open({path});
    Field("meSource")->setText("/unsaved");
    Box("chAttr")->setChecked(false);
    OpenDialogOf("cbINI");  // cancelled
    QCOMPARE(Field("meSource")->text(), QString("/s"));
    QVERIFY(Box("chAttr")->isChecked());
    QVERIFY(Box("chHidden")->isEnabled());
    QCOMPARE(Field("cbINI")->text(), path);
  }

  void NewSettingsNameLoadsDefaultsAndExitCreatesTheFile() {
    WriteFile("old.bfs", "[Main]\nSourceFolder=/old\n");
    Open({PathOf("old.bfs")});
    dialogs_.file_answers = {PathOf("new.bfs")};
    OpenDialogOf("cbINI");
    QCOMPARE(Field("meSource")->text(), QString());
    Click("btExit");
    QVERIFY(ReadFile("new.bfs").startsWith("[Main]\nSourceFolder=\nMasterFolder=\n"));
  }

  void SettingsDialogStartsFromTheFieldsText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("request");
    QTest::newRow("an existing file") << "<dir>/sub/a.bfs"
                                      << "file <dir>/sub/ | a.bfs";
    QTest::newRow("quoted, with a blank") << "\"<dir>/My Sync/n.bfs\""
                                          << "file <dir>/My Sync/ | n.bfs";
    QTest::newRow("missing folder: the name only") << "/none/x.bfs"
                                                   << "file  | x.bfs";
    QTest::newRow("a folder: no name") << "<dir>/sub/"
                                       << "file <dir>/sub/ | ";
    QTest::newRow("a bar: nothing preset") << "<dir>/a|b.bfs"
                                           << "file  | ";
  }
  void SettingsDialogStartsFromTheFieldsText() {
    QFETCH(QString, text);
    QFETCH(QString, request);
    WriteFile("sub/a.bfs", "");
    MakeFolder("My Sync");
    Open();
    Field("cbINI")->setText(text.replace("<dir>", dir_->path()));
    OpenDialogOf("cbINI");
    QCOMPARE(dialogs_.calls, QStringList{request.replace("<dir>", dir_->path())});
  }

  void SupportContactGoesToTheDesktop() {
    Open();
    Find<QTabWidget>("pc")->setCurrentIndex(2);
    auto* contact = Find<QLabel>("Label9");
    dialogs_.open_succeeds = false;  // a failure shows nothing
    QTest::mouseClick(contact, Qt::LeftButton);
    QCOMPARE(dialogs_.calls, QStringList{"open " + contact->text()});
  }

 private:
  void OpenDialogOf(const char* field) {
    QTest::mouseClick(Find<QWidget>(field)->findChild<QToolButton*>(), Qt::LeftButton);
  }
};

GUI_TEST_CLASS(TfMainDialogsTest);

#include "tf_main_dialogs_test.moc"
