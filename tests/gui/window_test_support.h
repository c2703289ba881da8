// Helpers for tests that drive the whole window: files in the test's folder and controls by
// their names.
#pragma once

#include <memory>

#include <QByteArray>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "gui/tf_main.h"
#include "tests/form/fake_dialogs.h"

namespace gui_tests {

using FakeDialogs = form_tests::FakeDialogs;

// A program folder of the test's own, so bare settings names never reach the build folder.
inline form::FormContext TestContext(const QString& program_folder,
                                     const QStringList& parameters = {}) {
  form::FormContext context;
  for (const QString& parameter : parameters) context.parameters.push_back(parameter.toStdString());
  context.program_folder = program_folder.toStdString();
  context.program_file =
      QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
  return context;
}

// What the fake dialogs were asked, for QCOMPARE.
inline QStringList CallsOf(const FakeDialogs& dialogs) {
  QStringList calls;
  for (const std::string& call : dialogs.calls) calls << QString::fromStdString(call);
  return calls;
}

class WindowTestBase : public QObject {
 protected:
  void SetUpFolder() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    dialogs_ = FakeDialogs();
  }
  void TearDownFolder() {
    window_.reset();
    dir_.reset();
  }

  QString PathOf(const QString& relative) const { return dir_->filePath(relative); }

  QString WriteFile(const QString& relative, const QByteArray& content) {
    const QString path = PathOf(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
      qFatal("cannot write %s", qPrintable(path));
    }
    return path;
  }

  QByteArray ReadFile(const QString& relative) const {
    QFile file(PathOf(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
  }

  QString MakeFolder(const QString& relative) {
    QDir().mkpath(PathOf(relative));
    return PathOf(relative);
  }

  // A window whose program folder is the test's folder.
  gui::TfMain& Open(const QStringList& parameters = {}) {
    window_ = std::make_unique<gui::TfMain>(dialogs_, TestContext(dir_->path(), parameters));
    window_->show();
    window_->activateWindow();
    if (!QTest::qWaitForWindowActive(window_.get()))
      qFatal("the window did not become active");
    return *window_;
  }

  template <typename T>
  T* Find(const char* name) const {
    T* control = window_->findChild<T*>(name);
    if (!control)
      qFatal("no control %s", name);
    return control;
  }
  QLineEdit* Field(const char* name) const { return Find<QLineEdit>(name); }
  QCheckBox* Box(const char* name) const { return Find<QCheckBox>(name); }

  FakeDialogs dialogs_;
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<gui::TfMain> window_;
};

}  // namespace gui_tests
