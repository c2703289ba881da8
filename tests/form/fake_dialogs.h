// Stands in for the modal dialogs and the desktop: writes down every request and answers from
// a script, so tests never block. An unscripted dialog is cancelled.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "form/form_dialogs.h"

namespace form_tests {

class FakeDialogs : public form::FormDialogs {
 public:
  std::optional<std::string> ChooseFolder(const std::string& start) override {
    calls.push_back("folder " + start);
    return Next(folder_answers);
  }
  std::optional<std::string> ChooseSettingsFile(const std::string& folder,
                                                const std::string& name) override {
    calls.push_back("file " + folder + " | " + name);
    return Next(file_answers);
  }
  void ShowError(const std::string& title, const std::string& text) override {
    calls.push_back("error " + title + " | " + text);
  }
  void ShowWarning(const std::string& title, const std::string& text) override {
    calls.push_back("warning " + title + " | " + text);
  }
  void OpenAddress(const std::string& address) override { calls.push_back("open " + address); }

  std::deque<std::optional<std::string>> folder_answers;
  std::deque<std::optional<std::string>> file_answers;
  std::vector<std::string> calls;

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers) {
    if (answers.empty())
      return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace form_tests
