// The window's wiring: each control's event to the form's handler of that name.
#include "gui/tf_main.h"

#include <utility>

#include <QCheckBox>
#include <QPushButton>

#include "gui/flat_button.h"
#include "gui/link_label.h"
#include "gui/path_field.h"

namespace gui {

using form::ControlId;

TfMain::TfMain(form::FormDialogs& dialogs, form::FormContext context, QWidget* parent)
    : QWidget(parent), form_(*this, dialogs, std::move(context)) {
  BuildControls();
  for (size_t i = 0; i < form::kControlCount; ++i) {
    controls_[i] = findChild<QWidget*>(form::ControlName(static_cast<ControlId>(i)));
  }
  ConnectHandlers();
  form_.FormCreate();
}

QWidget* TfMain::Control(ControlId control) const {
  return controls_[static_cast<size_t>(control)];
}

void TfMain::ConnectHandlers() {
  connect(btStart, &QPushButton::clicked, this, [this] { form_.btStartClick(); });
  connect(btExit, &QPushButton::clicked, this, [this] { form_.btExitClick(); });
  connect(cbINI, &QLineEdit::textEdited, this, [this] { form_.cbINIChange(); });
  connect(chSyncSub, &QCheckBox::clicked, this, [this] { form_.chSyncSubClick(); });
  connect(chAttr, &QCheckBox::clicked, this, [this] { form_.chAttrClick(); });
  connect(SpeedButton6, &QToolButton::clicked, this, [this] { form_.SpeedButton6Click(); });
  connect(Label9, &LinkLabel::clicked, this, [this] { form_.Label9Click(); });
  const std::pair<PathField*, ControlId> fields[] = {{meSource, ControlId::meSource},
                                                     {meMaster, ControlId::meMaster},
                                                     {meDest, ControlId::meDest},
                                                     {cbINI, ControlId::cbINI}};
  for (const auto& [field, id] : fields) {
    connect(field, &PathField::browseRequested, this, [this, id = id] { form_.BrowseClick(id); });
  }
}

}  // namespace gui
