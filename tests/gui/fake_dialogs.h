// Stands in for the modal dialogs and the desktop: records every request and answers from a
// script, so the tests never block. An unscripted dialog is cancelled.
#pragma once

#include <deque>

#include <QStringList>

#include "gui/dialogs.h"

namespace gui_tests {

class FakeDialogs : public gui::Dialogs {
 public:
  std::optional<QString> ChooseFolder(QWidget*, const QString& start) override {
    calls << "folder " + start;
    return Next(folder_answers);
  }
  std::optional<QString> ChooseSettingsFile(QWidget*, const QString& folder,
                                            const QString& name) override {
    calls << "file " + folder + " | " + name;
    return Next(file_answers);
  }
  void ShowError(QWidget*, const QString& title, const QString& text) override {
    calls << "error " + title + " | " + text;
  }
  void ShowWarning(QWidget*, const QString& title, const QString& text) override {
    calls << "warning " + title + " | " + text;
  }
  bool OpenAddress(const QUrl& address) override {
    calls << "open " + address.toString();
    return open_succeeds;
  }

  std::deque<std::optional<QString>> folder_answers;
  std::deque<std::optional<QString>> file_answers;
  bool open_succeeds = false;
  QStringList calls;

 private:
  static std::optional<QString> Next(std::deque<std::optional<QString>>& answers) {
    if (answers.empty())
      return std::nullopt;
    std::optional<QString> answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace gui_tests
