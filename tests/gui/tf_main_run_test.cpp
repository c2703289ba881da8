// The bottom strip during a run: a real run over a temporary tree holds the window's thread,
// and each status text and the gauge are painted inside the click, with no event processed.
// What the strip is told to show is the form's, tested in tests/form.
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include "gui/progress_gauge.h"
#include "tests/gui/gui_test_registry.h"
#include "tests/gui/window_test_support.h"

namespace {

// What the bottom strip showed each time its status label was painted.
struct Frame {
  QString status;
  int status_right;
  bool gauge_visible;
};

class FrameRecorder : public QObject {
 public:
  FrameRecorder(QLabel* status, gui::ProgressGauge* gauge) : status_(status), gauge_(gauge) {
    status_->installEventFilter(this);
    gauge_->installEventFilter(this);
  }
  std::vector<Frame> frames;  // paints of the status line
  QStringList gauge_paints;   // the percentage at each paint of the gauge
  int gauge_paints_before_status = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint)
      return false;
    if (watched == gauge_) {
      gauge_paints << QString::number(gauge_->percent());
      if (frames.empty())
        ++gauge_paints_before_status;
    } else {
      frames.push_back({status_->text(), status_->geometry().right(), gauge_->isVisible()});
    }
    return false;
  }

 private:
  QLabel* status_;
  gui::ProgressGauge* gauge_;
};

}  // namespace

class TfMainRunTest : public gui_tests::WindowTestBase {
  Q_OBJECT

 private slots:
  void init() { SetUpFolder(); }
  void cleanup() { TearDownFolder(); }

  void RunPaintsTheStripInsideTheClick() {
    // Long enough for the status line to reach the buttons.
    const QString src = "source-folder-with-a-name-long-enough-to-reach-the-buttons";
    WriteFile(src + "/a.txt", "alpha");
    WriteFile(src + "/sub/b.txt", "beta");
    MakeFolder("master");
    WriteFile("job.bfs", "[Main]\nSourceFolder=" + PathOf(src).toUtf8() +
                             "\nMasterFolder=" + PathOf("master").toUtf8() + "\n");
    Open({PathOf("job.bfs")});
    auto* status = Find<QLabel>("lbState");
    auto* gauge = Find<gui::ProgressGauge>("pb");
    FrameRecorder recorder(status, gauge);

    QTest::mouseClick(Find<QWidget>("btStart"), Qt::LeftButton);

    QCOMPARE(ReadFile("master/sub/b.txt"), QByteArray("beta"));
    QStringList texts;
    for (const Frame& frame : recorder.frames) {
      texts << frame.status;
      QVERIFY(frame.gauge_visible);
      // It stops where the buttons begin, so repainting it leaves them alone.
      QVERIFY(frame.status_right < Find<QWidget>("btStart")->x());
    }
    QCOMPARE(recorder.frames.back().status_right, Find<QWidget>("btStart")->x() - 1);
    QCOMPARE(texts.size(), 3);  // never "lbState"
    QCOMPARE(texts.front(), QString("Get list of files..."));
    QCOMPARE(recorder.gauge_paints_before_status, 1);  // the gauge appears with the line
    QCOMPARE(recorder.gauge_paints, (QStringList{"0", "50", "100"}));
    QVERIFY(status->isHidden());
    QVERIFY(gauge->isHidden());
  }

  void StatusLineIsRedrawnAtOnceAndLeavesNothingBehind() {
    gui::TfMain& window = Open();
    auto* strip = Find<QWidget>("Panel1");
    auto* status = Find<QLabel>("lbState");
    window.ShowRunDisplay(true);
    window.ShowStatus("Copy /a/long/path/that/reaches/well/into/the/middle/of/the/strip.txt");
    const QRect long_text = status->geometry();
    window.ShowStatus("Copy /b");
    // What the screen holds now: no event has been processed since the calls.
    const QImage shown = window.screen()->grabWindow(window.winId()).toImage();
    const QPoint origin = strip->mapTo(&window, QPoint(0, 0));
    const QColor face = strip->palette().color(QPalette::Window);
    int text_pixels = 0, left_behind = 0;
    for (int y = long_text.top(); y <= long_text.bottom(); ++y) {
      for (int x = long_text.left(); x <= long_text.right(); ++x) {
        const bool dark = shown.pixelColor(origin + QPoint(x, y)).lightness() < 128;
        if (x <= status->geometry().right()) {
          text_pixels += dark;
        } else {
          left_behind += dark || shown.pixelColor(origin + QPoint(x, y)) != face;
        }
      }
    }
    QVERIFY(text_pixels > 0);
    QCOMPARE(left_behind, 0);
    window.ShowRunDisplay(false);
  }
};

GUI_TEST_CLASS(TfMainRunTest);

#include "tf_main_run_test.moc"
