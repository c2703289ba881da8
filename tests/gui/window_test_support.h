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
#include "tests/gui/fake_dialogs.h"

namespace gui_tests {

// A program folder of the test's own, so bare settings names never reach the build folder.
inline gui::ProgramContext TestContext(const QString& program_folder,
                                       const QStringList& parameters = {}) {
  gui::ProgramContext context;
  context.parameters = parameters;
  context.program_folder = program_folder;
  context.program_file = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  return context;
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
  QString Mask() const { return Find<QComboBox>("meMask")->currentText(); }

  void Click(const char* name) { QTest::mouseClick(Find<QWidget>(name), Qt::LeftButton); }

  // Every check box as "name=checked/enabled", e.g. "chAttr=1/1".
  QStringList Boxes() const {
    QStringList states;
    for (const char* name : {"chSyncSub", "chCreateSub", "chSize", "chDate", "chAttr", "chReadOnly",
                             "chHidden", "chArchive", "chSystem", "chCompressed"}) {
      QCheckBox* box = Box(name);
      states << QString("%1=%2/%3").arg(name).arg(int(box->isChecked())).arg(int(box->isEnabled()));
    }
    return states;
  }

  FakeDialogs dialogs_;
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<gui::TfMain> window_;
};

}  // namespace gui_tests
