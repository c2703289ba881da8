#include "gui/tf_main.h"

#include <utility>

namespace gui {

TfMain::TfMain(Dialogs& dialogs, ProgramContext context, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), context_(std::move(context)) {
  BuildControls();
  FormCreate();
}

void TfMain::FormCreate() {
  SetStartupTexts();
}

}  // namespace gui
