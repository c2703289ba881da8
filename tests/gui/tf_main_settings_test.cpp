// Loading a settings file into the controls and writing the controls back to it.
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include "tests/gui/gui_test_registry.h"
#include "tests/gui/window_test_support.h"

namespace {

const QByteArray kEveryKeyChanged =
    "[Main]\n"
    "SourceFolder=/src\n"
    "MasterFolder=/master\n"
    "DestFolder=/d1;/d2\n"
    "SyncSub=0\n"
    "CreateSub=0\n"
    "Mask=*.txt\n"
    "flSize=0\n"
    "flDate=0\n"
    "flAttr=1\n"
    "flReadOnly=1\n"
    "flHidden=1\n"
    "flArchive=1\n"
    "flSystem=1\n"
    "flCompressed=1\n";

const QStringList kDefaultBoxes = {
    "chSyncSub=1/1",  "chCreateSub=1/1", "chSize=1/1",    "chDate=1/1",   "chAttr=0/1",
    "chReadOnly=0/0", "chHidden=0/0",    "chArchive=0/0", "chSystem=0/0", "chCompressed=0/0"};

QString ErrorBox(const QString& text) {
  return "error Gui_tests | " + text;
}

}  // namespace

class TfMainSettingsTest : public gui_tests::WindowTestBase {
  Q_OBJECT

 private slots:
  void init() { SetUpFolder(); }
  void cleanup() { TearDownFolder(); }

  void LoadsTheFileIntoTheControls_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("every key changed")
        << kEveryKeyChanged << QStringList{"/src", "/master", "/d1;/d2", "*.txt"}
        << QStringList{"chSyncSub=0/1", "chCreateSub=0/0", "chSize=0/1",   "chDate=0/1",
                       "chAttr=1/1",    "chReadOnly=1/1",  "chHidden=1/1", "chArchive=1/1",
                       "chSystem=1/1",  "chCompressed=1/1"};
    // A disabled box still shows what the file says.
    QTest::newRow("hidden switch without attributes")
        << QByteArray("[Main]\nflAttr=0\nflHidden=1\nMask=\n") << QStringList{"", "", "", ""}
        << QStringList{"chSyncSub=1/1", "chCreateSub=1/1", "chSize=1/1",   "chDate=1/1",
                       "chAttr=0/1",    "chReadOnly=0/0",  "chHidden=1/0", "chArchive=0/0",
                       "chSystem=0/0",  "chCompressed=0/0"};
  }
  void LoadsTheFileIntoTheControls() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, boxes);
    const QString path = WriteFile("job.bfs", content);
    Open({path});
    QCOMPARE(Field("cbINI")->text(), path);
    QCOMPARE((QStringList{Field("meSource")->text(), Field("meMaster")->text(),
                          Field("meDest")->text(), Mask()}),
             texts);
    QCOMPARE(Boxes(), boxes);
  }

  void EveryLoadReplacesTheControlsAndTheirEnabling() {
    WriteFile("changed.bfs", kEveryKeyChanged);
    Open({PathOf("changed.bfs")});
    QCOMPARE(Box("chCreateSub")->isEnabled(), false);
    // A name that names no file yet loads the defaults, enabling rules included.
    Field("cbINI")->setText(PathOf("new.bfs"));
    QCOMPARE(Boxes(), kDefaultBoxes);
    QCOMPARE(Field("meSource")->text(), QString());
    QCOMPARE(Mask(), QString("*.*"));
  }

  void BareNameIsTakenFromTheProgramFolder() {
    WriteFile("a.bfs", "[Main]\nSourceFolder=/from-program-folder\n");
    WriteFile("sub/b.bfs", "[Main]\nSourceFolder=/b\n");
    Open({"a.bfs"});
    QCOMPARE(Field("meSource")->text(), QString("/from-program-folder"));

    // Typed key by key: each text is loaded in turn, the last one names the file.
    Field("cbINI")->clear();
    QCOMPARE(Field("meSource")->text(), QString());
    QTest::keyClicks(Field("cbINI"), "a.bfs");
    QCOMPARE(Field("meSource")->text(), QString("/from-program-folder"));
  }

  void UnquotedNameWithBlanksIsJoinedAgainWhenItExists() {
    WriteFile("My Sync/b.bfs", "[Main]\nSourceFolder=/b\n");
    Open({PathOf("My"), "Sync/b.bfs"});
    QCOMPARE(Field("meSource")->text(), QString("/b"));
  }

  void SaveWritesTheFourteenKeysInOrderIntoANewFile() {
    Open({PathOf("new.bfs")});
    Field("meSource")->setText("/s");
    Field("meDest")->setText(" /d1;/d2 ");  // written as it stands
    Find<QComboBox>("meMask")->setEditText("*.doc");
    Box("chAttr")->setChecked(true);
    Box("chSystem")->setChecked(true);
    Click("btExit");
    QVERIFY(!window_->isVisible());
    QCOMPARE(ReadFile("new.bfs"), QByteArray("[Main]\n"
                                             "SourceFolder=/s\n"
                                             "MasterFolder=\n"
                                             "DestFolder= /d1;/d2 \n"
                                             "SyncSub=1\n"
                                             "CreateSub=1\n"
                                             "Mask=*.doc\n"
                                             "flSize=1\n"
                                             "flDate=1\n"
                                             "flAttr=1\n"
                                             "flReadOnly=0\n"
                                             "flHidden=0\n"
                                             "flArchive=0\n"
                                             "flSystem=1\n"
                                             "flCompressed=0\n"));
    QCOMPARE(dialogs_.calls, QStringList());
  }

  void SaveChangesOnlyTheKeysOfMainInAnExistingFile() {
    WriteFile("job.bfs",
              "[Other]\r\nSourceFolder=keep\r\n[Main]\r\nNote=keep me\r\nflDate=0\r\n"
              "SourceFolder=/old\r\n\r\n[Tail]\r\nx=1\r\n");
    Open({PathOf("job.bfs")});
    Field("meSource")->setText("/new");
    Click("btExit");
    QCOMPARE(ReadFile("job.bfs"),
             QByteArray("[Other]\r\nSourceFolder=keep\r\n[Main]\r\nNote=keep me\r\nflDate=0\r\n"
                        "SourceFolder=/new\r\nMasterFolder=\r\nDestFolder=\r\nSyncSub=1\r\n"
                        "CreateSub=1\r\nMask=*.*\r\nflSize=1\r\nflAttr=0\r\nflReadOnly=0\r\n"
                        "flHidden=0\r\nflArchive=0\r\nflSystem=0\r\nflCompressed=0\r\n\r\n"
                        "[Tail]\r\nx=1\r\n"));
  }

  void ValuesThatAreNotUtf8SurviveASave() {
    const QByteArray latin1 = "/data/caf\xE9";
    WriteFile("job.bfs", "[Main]\nSourceFolder=" + latin1 + "\nMasterFolder=" + latin1 + "\n");
    Open({PathOf("job.bfs")});
    Field("meMaster")->setText("/typed/кат");  // an edited value is written as typed
    Click("btExit");
    const QByteArray saved = ReadFile("job.bfs");
    QVERIFY2(saved.contains("SourceFolder=" + latin1 + "\n"), saved.constData());
    QVERIFY2(saved.contains("MasterFolder=/typed/\xD0\xBA\xD0\xB0\xD1\x82\n"), saved.constData());
  }

  void ClosingByTheTitleBarSavesNothing() {
    const QByteArray content = "[Main]\nSourceFolder=/s\n";
    WriteFile("job.bfs", content);
    Open({PathOf("job.bfs")});
    Field("meSource")->setText("/edited");
    window_->close();
    QCOMPARE(ReadFile("job.bfs"), content);
  }

  void UnwritableFileEndsTheSaveWithAnErrorBox_data() {
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    // No file chosen: the empty path is refused; its message ends in a blank, so no full stop.
    QTest::newRow("no file, Enter on Exit") << ""
                                            << "Enter"
                                            << "Unable to write to ";
    QTest::newRow("no file, Start") << ""
                                    << "btStart"
                                    << "Unable to write to ";
    QTest::newRow("folder, Exit") << "<dir>"
                                  << "btExit"
                                  << "Unable to write to <dir>.";
    QTest::newRow("missing folder, Start") << "<dir>/none/x.bfs"
                                           << "btStart"
                                           << "Unable to write to <dir>/none/x.bfs.";
  }
  void UnwritableFileEndsTheSaveWithAnErrorBox() {
    QFETCH(QString, parameter);
    QFETCH(QString, button);
    QFETCH(QString, message);
    parameter.replace("<dir>", dir_->path());
    message.replace("<dir>", dir_->path());
    Open(parameter.isEmpty() ? QStringList() : QStringList{parameter});
    if (button == "Enter") {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    } else {
      Click(qPrintable(button));
    }
    QCOMPARE(dialogs_.calls, QStringList{ErrorBox(message)});
    QVERIFY(window_->isVisible());
    QVERIFY(Find<QWidget>("lbState")->isHidden());
  }

  void ClearedFieldNamesTheProgramFolderItself() {
    Open({PathOf("job.bfs")});
    Field("cbINI")->clear();
    Click("btExit");
    QCOMPARE(dialogs_.calls, QStringList{ErrorBox("Unable to write to " + dir_->path() + "/.")});
    QVERIFY(window_->isVisible());
  }

  void ReadOnlyFileIsLeftAsItWasAndNothingRuns() {
    MakeFolder("src");
    WriteFile("src/a.txt", "a");
    MakeFolder("master");
    const QByteArray content = "[Main]\nSourceFolder=" + PathOf("src").toUtf8() +
                               "\nMasterFolder=" + PathOf("master").toUtf8() + "\n";
    const QString path = WriteFile("job.bfs", content);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    Open({path});
    Field("meDest")->setText("/edited");
    Click("btStart");
    QCOMPARE(dialogs_.calls, QStringList{ErrorBox("Unable to write to " + path + ".")});
    QCOMPARE(ReadFile("job.bfs"), content);
    QVERIFY(!QFile::exists(PathOf("master/a.txt")));
  }
};

GUI_TEST_CLASS(TfMainSettingsTest);

#include "tf_main_settings_test.moc"
