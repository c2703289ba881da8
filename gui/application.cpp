#include "gui/application.h"

#include <QApplication>
#include <QStyleFactory>

#include "engine/version.h"
#include "gui/fonts.h"

namespace gui {

void SetUpApplication(QApplication& app) {
  app.setApplicationName("parlowin");
  app.setApplicationVersion(engine::kVersion);
  if (QStyle* style = QStyleFactory::create("Windows"))
    app.setStyle(style);
  app.setFont(WindowFont());
}

}  // namespace gui
