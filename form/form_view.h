// What the form asks of a window. A toolkit implements it once; the form holds every rule.
// Texts are UTF-8 on every platform.
//
// Nothing done through this interface is reported back to the form: a view hands the form
// only what the user did (a click, a typed text, a browse button). A view whose toolkit does
// report program changes (a change event for a text set by the program) may pass them on; the
// form tells them apart itself.
#pragma once

#include <string>

#include "form/control_id.h"

namespace form {

class FormView {
 public:
  virtual ~FormView() = default;

  // The text of a field, the mask box, a label, a button, a group box or a tab page. A label
  // sizes itself to a new text, growing to the right.
  virtual std::string Text(ControlId control) const = 0;
  virtual void SetText(ControlId control, const std::string& text) = 0;

  // Check boxes. Setting a state is no click: the form applies the enabling rules itself.
  virtual bool Checked(ControlId box) const = 0;
  virtual void SetChecked(ControlId box, bool checked) = 0;

  virtual void SetEnabled(ControlId control, bool enabled) = 0;
  virtual void Focus(ControlId control) = 0;
  // Closes the window, which ends the program.
  virtual void Close() = 0;

  // The run's display in the bottom strip. A run holds the window's thread and no events are
  // processed meanwhile, so each of these must be on the screen when it returns.
  //
  // The status line and the gauge together: shown at the start of a run, hidden at its end.
  virtual void ShowRunDisplay(bool shown) = 0;
  // The status line's new text, painted at once with the strip beneath it.
  virtual void ShowStatus(const std::string& text) = 0;
  // The gauge's percentage (0 to 100), painted at once.
  virtual void ShowPercent(int percent) = 0;
};

}  // namespace form
