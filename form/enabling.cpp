#include "form/enabling.h"

namespace form {

void ApplySubfolderRule(FormView& view) {
  view.SetEnabled(ControlId::chCreateSub, view.Checked(ControlId::chSyncSub));
}

void ApplyAttributeRule(FormView& view) {
  const bool attributes = view.Checked(ControlId::chAttr);
  for (ControlId box : {ControlId::chReadOnly, ControlId::chHidden, ControlId::chArchive,
                        ControlId::chSystem, ControlId::chCompressed}) {
    view.SetEnabled(box, attributes);
  }
}

}  // namespace form
