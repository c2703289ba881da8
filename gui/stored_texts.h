// Settings values are bytes, the controls hold Unicode. A value that is not valid UTF-8 would
// come back changed from a trip through a control, and every save writes every key; so the
// bytes that were loaded are written back for as long as the control still shows them.
#pragma once

#include <string>
#include <utility>

#include <QHash>
#include <QString>

class QObject;

namespace gui {

class StoredTexts {
 public:
  // The text to show for `bytes` in `control`; remembers both.
  QString Show(const QObject* control, const std::string& bytes);
  // The bytes to write for `text` now in `control`.
  std::string Bytes(const QObject* control, const QString& text) const;

 private:
  QHash<const QObject*, std::pair<QString, std::string>> shown_;
};

}  // namespace gui
