// parlowin: the window that edits a settings file and runs it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

#include <QApplication>
#include <QFileInfo>

#include "engine/platform/std_streams.h"
#include "engine/version.h"
#include "form/program_folders.h"
#include "gui/application.h"
#include "gui/dialogs.h"
#include "gui/tf_main.h"

namespace {

constexpr char kUsage[] =
    "Usage: parlowin [SETTINGS-FILE]\n"
    "       parlowin --help | --version\n"
    "\n"
    "Opens the window that edits SETTINGS-FILE and runs it. A name without \"/\" is taken\n"
    "from the folder of the program file or, where the user may not write there, from\n"
    "$XDG_CONFIG_HOME/parlowen (~/.config/parlowen).\n";

// 0 when what was printed reached standard output, else 1.
int PrintedOut() {
  // A missing standard output has the null device by now, which would take the text.
  if (platform::MissingStream(platform::kStdOutput) != 0)
    return 1;
  return std::fflush(stdout) == 0 ? 0 : 1;
}

int Main(int argc, char** argv) {
  // Answered before Qt starts, so they work without a display.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("parlowin %s\n", engine::kVersion);
    return PrintedOut();
  }
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return PrintedOut();
  }
  QApplication app(argc, argv);  // takes Qt's own options out of argv
  gui::SetUpApplication(app);
  gui::QtDialogs dialogs;
  form::FormContext context;
  // The names' own bytes, as the file system holds them.
  context.parameters.assign(argv + 1, argv + argc);
  context.program_folder = QCoreApplication::applicationDirPath().toStdString();
  context.program_file =
      QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
  context.user_folder =
      form::XdgSettingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  gui::TfMain fMain(dialogs, context);
  dialogs.SetOwner(&fMain);
  fMain.show();
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  // Before anything is opened: Qt writes its warnings to standard error, and a settings file
  // opened into that free slot would receive them.
  platform::SecureStandardStreams();
  // No exception leaves the program but through a line on standard error and exit code 1.
  try {
    return Main(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("parlowin: Out of memory\n", stderr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "parlowin: %s\n", e.what());
  } catch (...) {
    std::fputs("parlowin: Unknown exception\n", stderr);
  }
  return 1;
}
