// Each thing the user does in the window reaches the form's handler for it. The rules
// themselves are the form's, tested in tests/form.
#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "tests/gui/gui_test_registry.h"
#include "tests/gui/window_test_support.h"

class TfMainWiringTest : public gui_tests::WindowTestBase {
  Q_OBJECT

 private slots:
  void init() { SetUpFolder(); }
  void cleanup() { TearDownFolder(); }

  void EachUserActionReachesItsHandler_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("focus");
    const QString folder = "folder <dir>";
    QTest::newRow("meSource's button") << "button meSource" << QStringList{folder} << "meSource";
    QTest::newRow("Alt+Down in meMaster")
        << "alt-down meMaster" << QStringList{folder} << "meMaster";
    QTest::newRow("meDest's button") << "button meDest" << QStringList{folder} << "meDest";
    QTest::newRow("Alt+Down in cbINI") << "alt-down cbINI" << QStringList{"file  | "} << "cbINI";
    QTest::newRow("cbINI's button") << "button cbINI" << QStringList{"file  | "} << "cbINI";
    QTest::newRow("Down alone") << "down meSource" << QStringList{} << "meSource";
    QTest::newRow("+") << "click SpeedButton6" << QStringList{folder} << "meDest";
    QTest::newRow("Start") << "click btStart"
                           << QStringList{"error Gui_tests | Unable to write to "} << "btStart";
    QTest::newRow("Exit") << "click btExit" << QStringList{"error Gui_tests | Unable to write to "}
                          << "btExit";
  }
  void EachUserActionReachesItsHandler() {
    QFETCH(QString, action);
    QFETCH(QStringList, calls);
    QFETCH(QString, focus);
    Open();
    const QString verb = action.section(' ', 0, 0);
    const QByteArray name = action.section(' ', 1).toLatin1();
    QWidget* control = Find<QWidget>(name.constData());
    control->setFocus();
    if (verb == "button") {
      QTest::mouseClick(control->findChild<QToolButton*>(), Qt::LeftButton);
    } else if (verb == "alt-down") {
      QTest::keyClick(control, Qt::Key_Down, Qt::AltModifier);
    } else if (verb == "down") {
      QTest::keyClick(control, Qt::Key_Down);
    } else {
      QTest::mouseClick(control, Qt::LeftButton);
    }
    QCOMPARE(gui_tests::CallsOf(dialogs_), calls.replaceInStrings("<dir>", dir_->path()));
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
  }

  void TypingAndClickingReachTheForm() {
    const QString path = WriteFile("job.bfs", "[Main]\nSourceFolder=/from-job\nSyncSub=0\n");
    Open();
    QTest::keyClicks(Field("cbINI"), path);
    QCOMPARE(Field("meSource")->text(), QString("/from-job"));
    QVERIFY(!Box("chCreateSub")->isEnabled());

    QTest::mouseClick(Box("chSyncSub"), Qt::LeftButton);
    QVERIFY(Box("chCreateSub")->isEnabled());
    Find<QTabWidget>("pc")->setCurrentIndex(1);
    Box("chAttr")->setFocus();
    QTest::keyClick(Box("chAttr"), Qt::Key_Space);
    QVERIFY(Box("chHidden")->isEnabled());

    Find<QTabWidget>("pc")->setCurrentIndex(2);
    auto* contact = Find<QLabel>("Label9");
    QTest::mouseClick(contact, Qt::LeftButton);
    QCOMPARE(gui_tests::CallsOf(dialogs_), QStringList{"open " + contact->text()});
  }

  void ExitSavesAndClosesButTheTitleBarOnlyCloses() {
    const QByteArray content = "[Main]\nSourceFolder=/s\n";
    WriteFile("job.bfs", content);
    Open({PathOf("job.bfs")});
    Field("meSource")->setText("/edited");
    window_->close();
    QCOMPARE(ReadFile("job.bfs"), content);

    Open({PathOf("job.bfs")});
    Field("meSource")->setText("/edited");
    QTest::mouseClick(Find<QWidget>("btExit"), Qt::LeftButton);
    QVERIFY(!window_->isVisible());
    QVERIFY(ReadFile("job.bfs").startsWith("[Main]\nSourceFolder=/edited\n"));
  }
};

GUI_TEST_CLASS(TfMainWiringTest);

#include "tf_main_wiring_test.moc"
