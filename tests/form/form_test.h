// A fixture for the form's rules: a fake window and fake dialogs over real folders, with the
// test's folder as the program folder, and the user's actions as the window reports them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "form/main_form.h"
#include "tests/form/fake_dialogs.h"
#include "tests/form/fake_view.h"
#include "tests/support/temp_dir_test.h"

namespace form_tests {

// "/" on POSIX, "\" on Windows: the root a folder dialog falls back to.
std::string Root();
bool OnWindows();

class FormTest : public testing_support::TempDirTest {
 protected:
  using ControlId = form::ControlId;

  // The program folder is the test's folder; the user's folder lies in it, unused while the
  // program folder can be written.
  form::FormContext Context(std::vector<std::string> parameters = {}) const;
  // Creates the form as the window does, through FormCreate.
  form::MainForm& Open(std::vector<std::string> parameters = {});
  form::MainForm& Open(form::FormContext context);

  // The user gives a field a new text, at once (a paste) or key by key.
  void Edit(ControlId field, const std::string& text);
  void Type(ControlId field, const std::string& text);
  // A click on a check box (which turns it where it is enabled), a button or the contact.
  void Click(ControlId control);
  void Browse(ControlId field) { form_->BrowseClick(field); }

  std::string Text(ControlId control) const { return view_.Text(control); }
  // Every check box as "name=checked/enabled", e.g. "chAttr=1/1".
  std::vector<std::string> Boxes() const;
  // The settings file's lines without their line ends.
  std::vector<std::string> LinesOf(const std::string& relative) const;

  FakeView view_;
  FakeDialogs dialogs_;
  std::unique_ptr<form::MainForm> form_;
};

}  // namespace form_tests
