// The form's dialogs and boxes as Qt Widgets shows them, modal over the window.
#pragma once

#include <optional>
#include <string>

#include <QPointer>
#include <QString>
#include <QWidget>

#include "form/form_dialogs.h"

class QFileDialog;

namespace gui {

class QtDialogs : public form::FormDialogs {
 public:
  // The window the boxes and dialogs are modal over; none before it exists.
  void SetOwner(QWidget* owner) { owner_ = owner; }

  std::optional<std::string> ChooseFolder(const std::string& start) override;
  std::optional<std::string> ChooseSettingsFile(const std::string& folder,
                                                const std::string& name) override;
  void ShowError(const std::string& title, const std::string& text) override;
  void ShowWarning(const std::string& title, const std::string& text) override;
  void OpenAddress(const std::string& address) override;

  // The configured dialogs, unopened, so their setup can be checked without a modal loop.
  static QFileDialog* MakeFolderDialog(QWidget* parent, const QString& start);
  static QFileDialog* MakeSettingsDialog(QWidget* parent, const QString& folder,
                                         const QString& name);

 private:
  QPointer<QWidget> owner_;
};

}  // namespace gui
