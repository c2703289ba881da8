// Everything the window asks the user or the desktop through a modal box or another program.
// The window gets one provider; tests hand it one that records and answers without blocking.
#pragma once

#include <optional>

#include <QString>
#include <QUrl>

class QFileDialog;
class QWidget;

namespace gui {

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Modal folder choice starting at `start`; the chosen folder, or nothing when cancelled.
  virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& start) = 0;
  // Modal choice of a settings file, which need not exist yet. `folder` and `name` preset the
  // dialog where they are not empty. The chosen full file name, or nothing when cancelled.
  virtual std::optional<QString> ChooseSettingsFile(QWidget* parent, const QString& folder,
                                                    const QString& name) = 0;
  // Modal boxes with an OK button.
  virtual void ShowError(QWidget* parent, const QString& title, const QString& text) = 0;
  virtual void ShowWarning(QWidget* parent, const QString& title, const QString& text) = 0;
  // Hands the address to the desktop's default handler; false when nothing took it.
  virtual bool OpenAddress(const QUrl& address) = 0;
};

// The real dialogs and boxes of Qt Widgets.
class QtDialogs : public Dialogs {
 public:
  std::optional<QString> ChooseFolder(QWidget* parent, const QString& start) override;
  std::optional<QString> ChooseSettingsFile(QWidget* parent, const QString& folder,
                                            const QString& name) override;
  void ShowError(QWidget* parent, const QString& title, const QString& text) override;
  void ShowWarning(QWidget* parent, const QString& title, const QString& text) override;
  bool OpenAddress(const QUrl& address) override;

  // The configured dialogs, unopened, so their setup can be checked without a modal loop.
  static QFileDialog* MakeFolderDialog(QWidget* parent, const QString& start);
  static QFileDialog* MakeSettingsDialog(QWidget* parent, const QString& folder,
                                         const QString& name);
};

}  // namespace gui
