// Times the window's progress display: how long one status text takes to appear, with the
// strip repainted at once as during a run. Not a test; run it by hand, on the offscreen
// platform or a real display:  gui_status_bench [COUNT]
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include "form/run_display.h"
#include "gui/application.h"
#include "gui/tf_main.h"
#include "tests/form/fake_dialogs.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  gui::SetUpApplication(app);
  const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
  form_tests::FakeDialogs dialogs;
  form::FormContext context;
  context.program_folder = QDir::tempPath().toStdString();
  gui::TfMain window(dialogs, context);
  window.show();
  for (int i = 0; i < 20; ++i) app.processEvents();

  form::Gauge gauge;
  form::RunDisplay sink(window, gauge);
  QElapsedTimer timer;
  timer.start();
  sink.Start();
  sink.Total(count);
  for (int i = 0; i < count; ++i) {
    sink.Step();
    sink.Status("Copy /srv/build/output/folder-" + std::to_string(i % 200) + "/file-" +
                std::to_string(i) + ".dat");
  }
  sink.Finish();
  const double ms = static_cast<double>(timer.elapsed());
  std::printf("%s: %d status texts in %.0f ms, %.3f ms each\n",
              qPrintable(QGuiApplication::platformName()), count, ms, ms / count);
  return 0;
}
