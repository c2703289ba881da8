// Start: the save, a real run over a temporary tree with the status line and the gauge as its
// progress display, and the boxes after a run that failed.
#include <new>

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include "engine/platform/file_system.h"
#include "gui/progress_gauge.h"
#include "gui/window_sink.h"
#include "tests/gui/gui_test_registry.h"
#include "tests/gui/window_test_support.h"

namespace {

// What the bottom strip showed each time its status label was painted.
struct Frame {
  QString status;
  int status_right;
  bool gauge_visible;
  qint64 maximum;
  qint64 progress;
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
      gauge_paints << gauge_->PercentText();
      if (frames.empty())
        ++gauge_paints_before_status;
    } else {
      frames.push_back({status_->text(), status_->geometry().right(), gauge_->isVisible(),
                        gauge_->maximum(), gauge_->progress()});
    }
    return false;
  }

 private:
  QLabel* status_;
  gui::ProgressGauge* gauge_;
};

// The real file system, except that listing a folder runs out of memory.
class ExhaustedFileSystem : public platform::FileSystem {
 public:
  using IoResult = platform::IoResult;
  IoResult ListFolder(const std::string&, const std::string&, bool,
                      platform::FolderListing*) override {
    throw std::bad_alloc();
  }
  bool FindEntry(const std::string& f, const std::string& n, engine::FileEntry* e) override {
    return real_.FindEntry(f, n, e);
  }
  IoResult GetAttributes(const std::string& p, uint32_t* a) override {
    return real_.GetAttributes(p, a);
  }
  IoResult GetFolderId(const std::string& p, platform::FolderId* id) override {
    return real_.GetFolderId(p, id);
  }
  IoResult MakeFolder(const std::string& p) override { return real_.MakeFolder(p); }
  IoResult CopyOver(const std::string& f, const std::string& t, platform::SourceStamp e,
                    platform::SourceStamp* c) override {
    return real_.CopyOver(f, t, e, c);
  }
  void RemoveStaleTemporaries(const std::string& f) override { real_.RemoveStaleTemporaries(f); }
  std::string ReadProfileString(const std::string& p, const std::string& s, const std::string& k,
                                const std::string& d) override {
    return real_.ReadProfileString(p, s, k, d);
  }
  IoResult WriteProfileString(const std::string& p, const std::string& s, const std::string& k,
                              const std::string& v) override {
    return real_.WriteProfileString(p, s, k, v);
  }
  IoResult ReadText(const std::string& p, std::string* t) override { return real_.ReadText(p, t); }
  IoResult ReplaceText(const std::string& p, const std::string& t) override {
    return real_.ReplaceText(p, t);
  }
  IoResult WorkingFolder(std::string* f) override { return real_.WorkingFolder(f); }

 private:
  platform::FileSystem& real_ = platform::DefaultFileSystem();
};

}  // namespace

class TfMainRunTest : public gui_tests::WindowTestBase {
  Q_OBJECT

 private slots:
  void init() { SetUpFolder(); }
  void cleanup() { TearDownFolder(); }

  void StartSavesThenRunsWithTheStatusLineAndGauge() {
    // Long enough for the status line to reach the buttons.
    const QString src = "source-folder-with-a-name-long-enough-to-reach-the-buttons";
    WriteFile(src + "/a.txt", "alpha");
    WriteFile(src + "/sub/b.txt", "beta");
    MakeFolder("master");
    MakeFolder("dest");
    WriteFile("job.bfs", "[Main]\nSourceFolder=" + PathOf(src).toUtf8() + "\n");
    Open({PathOf("job.bfs")});
    Field("meMaster")->setText(PathOf("master"));
    Field("meDest")->setText(PathOf("dest"));
    auto* status = Find<QLabel>("lbState");
    auto* gauge = Find<gui::ProgressGauge>("pb");
    FrameRecorder recorder(status, gauge);

    Click("btStart");

    // The edits were saved first, so the run used them.
    QVERIFY(ReadFile("job.bfs").contains("MasterFolder=" + PathOf("master").toUtf8() + "\n"));
    for (const char* copy : {"dest/a.txt", "dest/sub/b.txt", "master/a.txt", "master/sub/b.txt"}) {
      QVERIFY2(QFile::exists(PathOf(copy)), copy);
    }
    QCOMPARE(ReadFile("master/sub/b.txt"), QByteArray("beta"));
    QCOMPARE(dialogs_.calls, QStringList());

    // Each status text was painted at once, inside the click, with the gauge in view.
    QStringList texts;
    for (const Frame& frame : recorder.frames) {
      texts << frame.status;
      QVERIFY(frame.gauge_visible);
      // It stops where the buttons begin, so repainting it leaves them alone.
      QVERIFY(frame.status_right < Find<QWidget>("btStart")->x());
    }
    QVERIFY(recorder.frames.back().status_right == Find<QWidget>("btStart")->x() - 1);
    const QString b = "Copy " + PathOf(src + "/sub/b.txt"), a = "Copy " + PathOf(src + "/a.txt");
    QCOMPARE(texts, (QStringList{"Get list of files...", b, a, b, a}));  // never "lbState"
    QVERIFY(gauge->isHidden());
    QCOMPARE(recorder.gauge_paints_before_status, 1);  // the gauge appears with the line
    QCOMPARE(recorder.gauge_paints.mid(1), (QStringList{"25%", "50%", "75%", "100%"}));
    QCOMPARE(recorder.frames.front().maximum, 100);  // until Total, the last run's maximum
    QCOMPARE(recorder.frames.back().maximum, 4);     // two files to two targets
    QCOMPARE(recorder.frames.back().progress, 4);
    QVERIFY(status->isHidden());
    QCOMPARE(gauge->maximum(), 4);

    // A second run finds nothing changed; the gauge starts again from 0.
    recorder.frames.clear();
    Click("btStart");
    QCOMPARE(recorder.frames.size(), size_t(1));
    QCOMPARE(recorder.frames.front().progress, 0);
    QCOMPARE(gauge->maximum(), 0);
  }

  void StatusLineIsRedrawnAtOnceAndLeavesNothingBehind() {
    gui::TfMain& window = Open();
    auto* strip = Find<QWidget>("Panel1");
    auto* status = Find<QLabel>("lbState");
    gui::WindowSink sink(*strip, *status, *Find<gui::ProgressGauge>("pb"),
                         Find<QWidget>("btStart")->x());
    sink.Start();
    sink.Status("Copy /a/long/path/that/reaches/well/into/the/middle/of/the/strip.txt");
    const QRect long_text = status->geometry();
    sink.Status("Copy /b");
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
    sink.Finish();
  }

  void FailuresOfTheRunAreShownAfterIt() {
    WriteFile("src/a.txt", "alpha");
    WriteFile("src/sub/b.txt", "beta");
    MakeFolder("master");
    const QString blocked = WriteFile("plain-file", "not a folder") + "/dest";
    Open({PathOf("job.bfs")});
    Field("meSource")->setText(PathOf("src"));
    Field("meMaster")->setText(PathOf("master"));
    Field("meDest")->setText(blocked);
    Click("btStart");

    QCOMPARE(dialogs_.calls.size(), 1);
    const QString box = dialogs_.calls.first();
    QVERIFY2(box.startsWith("warning Gui_tests | "), qPrintable(box));
    QVERIFY2(box.contains(QRegularExpression(R"(\| \d+ operations of the run failed)")),
             qPrintable(box));
    QVERIFY2(box.contains(PathOf("plain-file")), qPrintable(box));  // path and reason
    // Held back from the master, so the next run tries again.
    QVERIFY(!QFile::exists(PathOf("master/a.txt")));
    QVERIFY(Find<QWidget>("pb")->isHidden());
  }

  // Control bytes of a name are written as on the console's standard error, so the named
  // failure stays one line of the box.
  void FailureInTheBoxNamesTheFileQuoted_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("line feed") << "bad\nname"
                               << "bad\\x0aname";
    QTest::newRow("carriage return and tab") << "a\r\tb"
                                             << "a\\x0d\\x09b";
    QTest::newRow("escape") << "esc\x1b[1m"
                            << "esc\\x1b[1m";
    QTest::newRow("backslash") << "back\\slash"
                               << "back\\\\slash";
    QTest::newRow("plain") << "plain name"
                           << "plain name";
  }

  void FailureInTheBoxNamesTheFileQuoted() {
    QFETCH(QString, name);
    QFETCH(QString, shown);
    WriteFile("src/" + name, "x");
    MakeFolder("master");
    const QString blocked = WriteFile("plain-file", "not a folder") + "/dest";
    Open({PathOf("job.bfs")});
    Field("meSource")->setText(PathOf("src"));
    Field("meMaster")->setText(PathOf("master"));
    Field("meDest")->setText(blocked);
    Click("btStart");

    QCOMPARE(dialogs_.calls,
             QStringList{"warning Gui_tests | 2 operations of the run failed. The first:\ncopy " +
                         PathOf("src") + "/" + shown + " -> " + blocked + "//" + shown +
                         ": Not a directory"});
  }

  void EmptySourceIsNoSilentSuccess() {
    Open({PathOf("job.bfs")});
    Click("btStart");
    QCOMPARE(dialogs_.calls.size(), 1);
    QVERIFY(dialogs_.calls.first().startsWith("warning Gui_tests | 1 operation of the run failed"));
  }

  void FailureThatLeavesTheRunShowsTheErrorBox() {
    ExhaustedFileSystem fs;
    gui::ProgramContext context = gui_tests::TestContext(dir_->path(), {PathOf("job.bfs")});
    context.file_system = &fs;
    window_ = std::make_unique<gui::TfMain>(dialogs_, context);
    window_->show();
    Field("meSource")->setText(MakeFolder("src"));
    Click("btStart");
    QCOMPARE(dialogs_.calls, QStringList{"error Gui_tests | Out of memory."});
    // The run did not finish: its display stays until the next run ends.
    QVERIFY(Find<QWidget>("lbState")->isVisible());
    QVERIFY(Find<QWidget>("pb")->isVisible());
  }
};

GUI_TEST_CLASS(TfMainRunTest);

#include "tf_main_run_test.moc"
