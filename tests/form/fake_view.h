// Stands in for a window: keeps each control's text, state, enabling and the focus as a
// toolkit would, and writes down what the run's display was asked to show.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "form/form_view.h"

namespace form_tests {

class FakeView : public form::FormView {
 public:
  using ControlId = form::ControlId;

  // The states the window is laid out with.
  FakeView();

  std::string Text(ControlId control) const override;
  // A toolkit shows Unicode: bytes that are no valid UTF-8 come back as U+FFFD.
  void SetText(ControlId control, const std::string& text) override;
  bool Checked(ControlId box) const override;
  void SetChecked(ControlId box, bool checked) override { checked_[box] = checked; }
  void SetEnabled(ControlId control, bool enabled) override { disabled_[control] = !enabled; }
  void Focus(ControlId control) override { focus = control; }
  void Close() override { closed = true; }
  void ShowRunDisplay(bool shown) override { run_log.push_back(shown ? "shown" : "hidden"); }
  void ShowStatus(const std::string& text) override { run_log.push_back("status " + text); }
  void ShowPercent(int percent) override {
    run_log.push_back("percent " + std::to_string(percent));
  }

  bool Enabled(ControlId control) const;

  ControlId focus = ControlId::btExit;
  bool closed = false;
  std::vector<std::string> run_log;

 private:
  std::map<ControlId, std::string> texts_;
  std::map<ControlId, bool> checked_;
  std::map<ControlId, bool> disabled_;
};

}  // namespace form_tests
