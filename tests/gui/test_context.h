// What a test window takes from the program: its parameters and a program folder of the
// test's own, so bare settings names never reach the build folder.
#pragma once

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include "gui/tf_main.h"

namespace gui_tests {

inline gui::ProgramContext TestContext(const QString& program_folder,
                                       const QStringList& parameters = {}) {
  gui::ProgramContext context;
  context.parameters = parameters;
  context.program_folder = program_folder;
  context.program_file = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  return context;
}

}  // namespace gui_tests
