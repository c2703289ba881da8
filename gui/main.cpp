// parlowin: the window that edits a settings file and runs it.
#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QFileInfo>

#include "engine/version.h"
#include "gui/application.h"
#include "gui/dialogs.h"
#include "gui/tf_main.h"

namespace {

constexpr char kUsage[] =
    "Usage: parlowin [SETTINGS-FILE]\n"
    "       parlowin --help | --version\n"
    "\n"
    "Opens the window that edits SETTINGS-FILE and runs it. A name without \"/\" is taken\n"
    "from the folder of the program file.\n";

}  // namespace

int main(int argc, char** argv) {
  // Answered before Qt starts, so they work without a display.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("parlowin %s\n", engine::kVersion);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  QApplication app(argc, argv);
  gui::SetUpApplication(app);
  gui::QtDialogs dialogs;
  gui::ProgramContext context;
  context.parameters = app.arguments().mid(1);
  context.program_folder = QCoreApplication::applicationDirPath();
  context.program_file = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  gui::TfMain fMain(dialogs, context);
  fMain.show();
  return app.exec();
}
