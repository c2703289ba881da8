// The gauge's drawing and its immediate repaint.
#include "gui/progress_gauge.h"

#include <QImage>
#include <QTest>

#include "gui/fonts.h"
#include "tests/gui/gui_test_registry.h"

namespace {

class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint)
      ++paints;
    return false;
  }
};

struct Counts {
  int navy = 0;   // bar
  int white = 0;  // background
  int dark = 0;   // text over the background
  int light = 0;  // text over the bar
};

// Looks at the gauge inside its frame, column by column left of `split` (the bar) and right of it.
Counts Look(const QImage& image, int split) {
  Counts counts;
  for (int y = 1; y < image.height() - 1; ++y) {
    for (int x = 1; x < image.width() - 1; ++x) {
      const QColor c = image.pixelColor(x, y);
      const bool on_bar = x < split;
      if (c == QColor(0, 0, 128))
        ++counts.navy;
      else if (c == Qt::white)
        ++counts.white;
      else if (on_bar && c.red() > 128)
        ++counts.light;
      else if (!on_bar && c.red() < 128)
        ++counts.dark;
    }
  }
  return counts;
}

}  // namespace

class ProgressGaugeTest : public QObject {
  Q_OBJECT

 private slots:
  void TextIsDrawnInvertedAgainstWhatLiesBeneath_data() {
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("dark_text");
    QTest::addColumn<bool>("light_text");
    QTest::newRow("0%: all over the background") << 0 << true << false;
    QTest::newRow("50%: across the bar's edge") << 50 << true << true;
    QTest::newRow("100%: all over the bar") << 100 << false << true;
  }
  void TextIsDrawnInvertedAgainstWhatLiesBeneath() {
    QFETCH(int, percent);
    QFETCH(bool, dark_text);
    QFETCH(bool, light_text);
    gui::ProgressGauge gauge;
    gauge.setFont(gui::WindowFont());
    gauge.resize(281, 13);
    gauge.SetPercent(percent);
    const QImage image = gauge.grab().toImage();

    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(image.pixelColor(280, 12), QColor(Qt::black));
    const int split = 1 + 279 * percent / 100;
    if (percent > 0)
      QCOMPARE(image.pixelColor(2, 6), QColor(0, 0, 128));
    if (percent < 100)
      QCOMPARE(image.pixelColor(278, 6), QColor(Qt::white));
    const Counts counts = Look(image, split);
    QCOMPARE(counts.dark > 0, dark_text);
    QCOMPARE(counts.light > 0, light_text);
  }

  void PaintsAtOnceWhereVisible() {
    gui::ProgressGauge gauge;
    gauge.resize(281, 13);
    PaintCounter counter;
    gauge.installEventFilter(&counter);
    gauge.SetPercent(20);  // hidden: nothing to paint
    QCOMPARE(counter.paints, 0);
    gauge.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gauge));
    counter.paints = 0;
    gauge.SetPercent(50);  // painted inside the call, no event loop needed
    QCOMPARE(counter.paints, 1);
    QCOMPARE(gauge.percent(), 50);
    gauge.SetPercent(140);
    QCOMPARE(gauge.percent(), 100);
  }
};

GUI_TEST_CLASS(ProgressGaugeTest);

#include "progress_gauge_test.moc"
