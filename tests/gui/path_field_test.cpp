// The folder and file fields: what opens their dialogs and what the field then holds.
#include "gui/path_field.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "tests/gui/fake_dialogs.h"
#include "tests/gui/gui_test_registry.h"

class PathFieldTest : public QObject {
  Q_OBJECT

 private slots:
  void BrowseButtonAndAltDownOpenTheDialog() {
    gui_tests::FakeDialogs dialogs;
    QWidget window;
    auto* field = new gui::FolderField(dialogs, &window);
    auto* other = new QLineEdit(&window);
    other->move(0, 30);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();

    auto* browse = field->findChild<QToolButton*>();
    QVERIFY(browse);
    QCOMPARE(browse->focusPolicy(), Qt::NoFocus);
    QTest::mouseClick(browse, Qt::LeftButton);
    QCOMPARE(dialogs.calls.size(), 1);
    QVERIFY(field->hasFocus());  // the focus comes back to the field

    QTest::keyClick(field, Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(dialogs.calls.size(), 2);
    QTest::keyClick(field, Qt::Key_Down);
    QCOMPARE(dialogs.calls.size(), 2);
  }
};

GUI_TEST_CLASS(PathFieldTest);

#include "path_field_test.moc"
