#include "tests/form/form_test.h"

#include <sstream>

#include "engine/platform/path_rules.h"

namespace form_tests {

form::FormContext FormTest::Context(std::vector<std::string> parameters) const {
  form::FormContext context;
  context.parameters = std::move(parameters);
  context.program_folder = PathOf();
  context.program_file = "parlowin";
  context.user_folder = PathOf("user-config");
  return context;
}

form::MainForm& FormTest::Open(std::vector<std::string> parameters) {
  return Open(Context(std::move(parameters)));
}

form::MainForm& FormTest::Open(form::FormContext context) {
  form_ = std::make_unique<form::MainForm>(view_, dialogs_, std::move(context));
  form_->FormCreate();
  return *form_;
}

void FormTest::Edit(ControlId field, const std::string& text) {
  view_.SetText(field, text);
  if (field == ControlId::cbINI)
    form_->cbINIChange();
}

void FormTest::Type(ControlId field, const std::string& text) {
  for (size_t length = 1; length <= text.size(); ++length) {
    Edit(field, Text(field) + text[length - 1]);
  }
}

void FormTest::Click(ControlId control) {
  switch (control) {
    case ControlId::btStart:
      return form_->btStartClick();
    case ControlId::btExit:
      return form_->btExitClick();
    case ControlId::SpeedButton6:
      return form_->SpeedButton6Click();
    case ControlId::Label9:
      return form_->Label9Click();
    default:
      break;
  }
  if (!view_.Enabled(control))
    return;
  view_.SetChecked(control, !view_.Checked(control));
  if (control == ControlId::chSyncSub)
    form_->chSyncSubClick();
  if (control == ControlId::chAttr)
    form_->chAttrClick();
}

std::vector<std::string> FormTest::Boxes() const {
  std::vector<std::string> states;
  for (ControlId box :
       {ControlId::chSyncSub, ControlId::chCreateSub, ControlId::chSize, ControlId::chDate,
        ControlId::chAttr, ControlId::chReadOnly, ControlId::chHidden, ControlId::chArchive,
        ControlId::chSystem, ControlId::chCompressed}) {
    states.push_back(std::string(form::ControlName(box)) + "=" + (view_.Checked(box) ? "1" : "0") +
                     "/" + (view_.Enabled(box) ? "1" : "0"));
  }
  return states;
}

std::vector<std::string> FormTest::LinesOf(const std::string& relative) const {
  std::vector<std::string> lines;
  std::istringstream in(ReadFile(relative));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string Root() {
  return std::string(1, platform::kPathSeparator);
}

bool OnWindows() {
  return platform::kPathSeparator == '\\';
}

}  // namespace form_tests
