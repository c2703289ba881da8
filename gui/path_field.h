// One-line text boxes with a small browse button inside their right end: the folder field and
// the settings-file field. The button, or Alt+Down in the box, opens the field's dialog.
#pragma once

#include <functional>

#include <QLineEdit>
#include <QString>

#include "gui/dialogs.h"

namespace gui {

class PathField : public QLineEdit {
  Q_OBJECT

 public:
  // Called after the dialog closed, OK or Cancel, before the text is touched. It may change the
  // name that the field then takes.
  using AfterDialog = std::function<void(QString& name, bool& accepted)>;

  PathField(Dialogs& dialogs, QWidget* parent);

  void SetAfterDialog(AfterDialog handler) { after_dialog_ = std::move(handler); }
  void OpenDialog();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

  // Where the dialog starts.
  virtual QString DialogStart() = 0;
  // Shows the dialog; on OK puts the choice into `name` and returns true.
  virtual bool RunDialog(QString& name) = 0;
  virtual void Accept(const QString& name) = 0;

  Dialogs& dialogs_;

 private:
  AfterDialog after_dialog_;
};

class FolderField : public PathField {
  Q_OBJECT

 public:
  using PathField::PathField;

  // Where the dialog starts while the field is empty.
  const QString& initialFolder() const { return initial_folder_; }
  void SetInitialFolder(const QString& folder) { initial_folder_ = folder; }

 protected:
  QString DialogStart() override;
  bool RunDialog(QString& name) override;
  void Accept(const QString& name) override;

 private:
  QString initial_folder_;
};

// Remembers the dialog's folder and preset name from one use to the next.
class FileField : public PathField {
  Q_OBJECT

 public:
  using PathField::PathField;

  const QString& dialogFolder() const { return dialog_folder_; }
  const QString& dialogName() const { return dialog_name_; }

 protected:
  QString DialogStart() override;
  bool RunDialog(QString& name) override;
  void Accept(const QString& name) override;

 private:
  QString dialog_folder_;
  QString dialog_name_;
};

}  // namespace gui
