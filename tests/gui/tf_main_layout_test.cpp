// The window as it first appears: every control in place with its start-up state and text,
// the tab order, and the keys that press buttons.
#include <memory>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "gui/progress_gauge.h"
#include "gui/tf_main.h"
#include "tests/gui/gui_test_registry.h"
#include "tests/gui/window_test_support.h"

namespace {

QString NameOfFocus() {
  // An editable box hands the focus to its inner line edit; name the control itself.
  for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
    if (w->inherits("QTabBar"))
      return "pc";
    if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
      return w->objectName();
  }
  return "(none)";
}

bool HasCyrillic(const QString& text) {
  return std::any_of(text.begin(), text.end(),
                     [](QChar c) { return c.unicode() >= 0x400 && c.unicode() <= 0x4FF; });
}

}  // namespace

class TfMainLayoutTest : public gui_tests::WindowTestBase {
  Q_OBJECT

 private slots:
  void init() {
    SetUpFolder();
    Open();
  }
  void cleanup() { TearDownFolder(); }

  void WindowIsAFixedDialogFrame() {
    QCOMPARE(window_->objectName(), QString("fMain"));
    QCOMPARE(window_->windowTitle(), QString("Parlowen"));
    QCOMPARE(window_->size(), QSize(459, 331));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    const Qt::WindowFlags flags = window_->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!window_->windowIcon().isNull());
    const QRect screen = window_->screen()->availableGeometry();
    QVERIFY(qAbs(window_->geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(window_->geometry().center().y() - screen.center().y()) <= 1);
  }

  void ControlsSitInTheirParents_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    const struct {
      const char* name;
      const char* parent;
      QRect geometry;
    } rows[] = {
        {"Panel1", "fMain", {0, 280, 459, 51}},
        {"pc", "fMain", {0, 0, 459, 280}},
        {"btStart", "Panel1", {301, 13, 75, 31}},
        {"btExit", "Panel1", {376, 13, 75, 31}},
        {"pb", "Panel1", {7, 30, 281, 13}},
        {"cbINI", "tsGeneral", {8, 24, 241, 21}},
        {"gbPath", "tsGeneral", {7, 44, 433, 165}},
        {"meSource", "gbPath", {9, 32, 398, 21}},
        {"meMaster", "gbPath", {9, 95, 399, 21}},
        {"meDest", "gbPath", {9, 135, 399, 21}},
        {"chSyncSub", "gbPath", {8, 56, 249, 17}},
        {"chCreateSub", "gbPath", {264, 56, 142, 17}},
        {"SpeedButton2", "gbPath", {406, 32, 22, 21}},
        {"SpeedButton4", "gbPath", {406, 95, 22, 21}},
        {"SpeedButton6", "gbPath", {406, 135, 22, 21}},
        {"meMask", "tsMisc", {56, 11, 169, 21}},
        {"gbFileMode", "tsMisc", {8, 37, 441, 124}},
        {"chSize", "gbFileMode", {10, 20, 97, 17}},
        {"chDate", "gbFileMode", {10, 41, 97, 17}},
        {"chAttr", "gbFileMode", {168, 20, 97, 17}},
        {"chReadOnly", "gbFileMode", {186, 36, 97, 17}},
        {"chHidden", "gbFileMode", {186, 53, 97, 16}},
        {"chArchive", "gbFileMode", {186, 68, 97, 17}},
        {"chSystem", "gbFileMode", {186, 83, 97, 17}},
        {"chCompressed", "gbFileMode", {186, 100, 97, 16}},
        // Labels size themselves to their texts: only the top-left corner is fixed.
        {"Label1", "tsGeneral", {8, 5, 0, 0}},
        {"Label2", "gbPath", {10, 18, 0, 0}},
        {"Label3", "gbPath", {10, 81, 0, 0}},
        {"Label4", "gbPath", {10, 121, 0, 0}},
        {"Label5", "tsMisc", {8, 13, 0, 0}},
        {"lbState", "Panel1", {8, 14, 0, 0}},
        {"Label6", "tsAbout", {16, 8, 0, 0}},
        {"Label7", "tsAbout", {17, 28, 0, 0}},
        {"Label8", "tsAbout", {17, 44, 0, 0}},
        {"Label9", "tsAbout", {64, 44, 0, 0}},
    };
    for (const auto& row : rows) {
      QTest::newRow(row.name) << row.name << row.parent << row.geometry;
    }
  }
  void ControlsSitInTheirParents() {
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    auto* control = window_->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), parent);
    if (geometry.width() > 0) {
      QCOMPARE(control->geometry(), geometry);
    } else {
      QCOMPARE(control->pos(), geometry.topLeft());
      auto* label = qobject_cast<QLabel*>(control);
      QVERIFY(label);
      QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->text()),
               qPrintable(label->text()));
      QVERIFY(label->height() >= label->fontMetrics().height());
    }
  }

  void PagesAndStartUpStates() {
    auto* pc = Find<QTabWidget>("pc");
    QCOMPARE(pc->count(), 3);
    QCOMPARE(pc->widget(0)->objectName(), QString("tsGeneral"));
    QCOMPARE(pc->widget(1)->objectName(), QString("tsMisc"));
    QCOMPARE(pc->widget(2)->objectName(), QString("tsAbout"));
    QCOMPARE(pc->currentIndex(), 0);

    // Until a run starts the bottom strip shows only the two buttons.
    for (const char* name : {"lbState", "pb", "SpeedButton2", "SpeedButton4"}) {
      QVERIFY2(Find<QWidget>(name)->isHidden(), name);
    }
    QVERIFY(Find<QWidget>("SpeedButton6")->isVisible());
    auto* pb = Find<gui::ProgressGauge>("pb");
    QCOMPARE(pb->percent(), 0);
    QCOMPARE(pb->foreColor(), QColor(0, 0, 128));

    for (const char* name : {"cbINI", "meSource", "meMaster", "meDest"}) {
      QVERIFY2(Find<QLineEdit>(name)->text().isEmpty(), name);
    }
    auto* mask = Find<QComboBox>("meMask");
    QVERIFY(mask->isEditable());
    QCOMPARE(mask->currentText(), QString("*.*"));
    QCOMPARE(mask->count(), 0);

    const QStringList checked = {"chSyncSub", "chCreateSub", "chSize", "chDate"};
    const QStringList disabled = {"chReadOnly", "chHidden", "chArchive", "chSystem",
                                  "chCompressed"};
    for (QCheckBox* box : window_->findChildren<QCheckBox*>()) {
      QCOMPARE(box->isChecked(), checked.contains(box->objectName()));
      QCOMPARE(box->isEnabled(), !disabled.contains(box->objectName()));
    }
    QCOMPARE(window_->findChildren<QCheckBox*>().size(), 10);
  }

  void TextsAreRussianAfterStart() {
    auto* pc = Find<QTabWidget>("pc");
    QCOMPARE(pc->tabText(0), QString::fromUtf8("Основные"));
    QCOMPARE(pc->tabText(1), QString::fromUtf8("Дополнительно"));
    QCOMPARE(pc->tabText(2), QString("About"));
    QCOMPARE(Find<QAbstractButton>("btStart")->text(), QString::fromUtf8("Старт"));
    QCOMPARE(Find<QAbstractButton>("btExit")->text(), QString::fromUtf8("Выход"));
    QCOMPARE(Find<QLabel>("Label6")->text(), QString("Parlowen  v 0.1b"));
    QCOMPARE(Find<QLabel>("Label8")->text(), QString("support  "));
    QVERIFY(!Find<QLabel>("Label9")->text().isEmpty());  // the contact, set by the form
    QVERIFY(Find<QLabel>("Label7")->text().contains("Parlowen"));

    // Apart from the About page, the "+" buttons and the status label, no English is left.
    const QStringList stay_english = {"Label6",  "Label7",       "Label8",       "Label9",
                                      "lbState", "SpeedButton2", "SpeedButton4", "SpeedButton6"};
    int texts = 0;
    for (QWidget* w : window_->findChildren<QWidget*>()) {
      QString text;
      if (auto* label = qobject_cast<QLabel*>(w))
        text = label->text();
      if (auto* button = qobject_cast<QAbstractButton*>(w))
        text = button->text();
      if (auto* group = qobject_cast<QGroupBox*>(w))
        text = group->title();
      if (text.isEmpty() || stay_english.contains(w->objectName()) || w->objectName().isEmpty()) {
        continue;
      }
      ++texts;
      QVERIFY2(HasCyrillic(text), qPrintable(w->objectName() + ": " + text));
    }
    QCOMPARE(texts, 19);  // with the two tabs, the 21 start-up texts
  }

  void TextsFitTheirBoxes() {
    for (QCheckBox* box : window_->findChildren<QCheckBox*>()) {
      QStyleOptionButton option;
      option.initFrom(box);
      option.text = box->text();
      const QRect text_area =
          box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
      const int needed = box->fontMetrics().horizontalAdvance(box->text());
      QVERIFY2(needed <= text_area.width(), qPrintable(QString("%1 needs %2 px, has %3")
                                                           .arg(box->text())
                                                           .arg(needed)
                                                           .arg(text_area.width())));
    }
    for (QGroupBox* group : window_->findChildren<QGroupBox*>()) {
      QVERIFY(group->fontMetrics().horizontalAdvance(group->title()) < group->width() - 16);
    }
    QCOMPARE(window_->font().pixelSize(), 11);
  }

  void TabCyclesThroughTheShownPage_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("attributes");
    QTest::addColumn<QStringList>("order");
    const QStringList strip = {"btExit", "btStart", "pc"};
    QTest::newRow("general") << 0 << false
                             << strip + QStringList{"meSource",  "meMaster",    "meDest",
                                                    "chSyncSub", "chCreateSub", "cbINI"};
    QTest::newRow("misc") << 1 << false
                          << strip + QStringList{"meMask", "chSize", "chDate", "chAttr"};
    QTest::newRow("misc, attribute boxes enabled")
        << 1 << true
        << strip + QStringList{"meMask",    "chSize",   "chDate",       "chReadOnly", "chHidden",
                               "chArchive", "chSystem", "chCompressed", "chAttr"};
    QTest::newRow("about") << 2 << false << strip;
  }
  void TabCyclesThroughTheShownPage() {
    QFETCH(int, page);
    QFETCH(bool, attributes);
    QFETCH(QStringList, order);
    if (attributes) {
      for (const char* name : {"chReadOnly", "chHidden", "chArchive", "chSystem", "chCompressed"}) {
        Find<QWidget>(name)->setEnabled(true);
      }
    }
    Find<QTabWidget>("pc")->setCurrentIndex(page);
    Find<QWidget>("btExit")->setFocus();
    QStringList forward;
    for (int i = 0; i <= order.size(); ++i) {
      forward << NameOfFocus();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(forward, order + QStringList{"btExit"});
    Find<QWidget>("btExit")->setFocus();
    QStringList backward;
    for (int i = 0; i <= order.size(); ++i) {
      backward << NameOfFocus();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    }
    QStringList reversed{"btExit"};
    for (qsizetype i = order.size() - 1; i >= 0; --i) reversed << order[i];
    QCOMPARE(backward, reversed);
  }

  void EnterPressesOnlyTheFocusedButton() {
    QCOMPARE(NameOfFocus(), QString("btExit"));
    QSignalSpy exit_clicks(Find<QAbstractButton>("btExit"), &QAbstractButton::clicked);
    QSignalSpy start_clicks(Find<QAbstractButton>("btStart"), &QAbstractButton::clicked);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(exit_clicks.count() + start_clicks.count(), 0);
    QVERIFY(window_->isVisible());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(exit_clicks.count(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QCOMPARE(start_clicks.count(), 1);

    // In a text box Enter presses nothing, and the mask list stays empty.
    for (const char* field : {"meSource", "meMask"}) {
      Find<QWidget>(field)->setFocus();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    QCOMPARE(exit_clicks.count(), 1);
    QCOMPARE(start_clicks.count(), 1);
    QCOMPARE(Find<QComboBox>("meMask")->count(), 0);
  }

  void FlatButtonNeverTakesTheFocus() {
    Find<QWidget>("meSource")->setFocus();
    auto* plus = Find<QAbstractButton>("SpeedButton6");
    QCOMPARE(plus->focusPolicy(), Qt::NoFocus);
    QTest::mouseClick(plus, Qt::LeftButton);
    QVERIFY(!plus->hasFocus());
  }
};

GUI_TEST_CLASS(TfMainLayoutTest);

#include "tf_main_layout_test.moc"
