#include "gui/stored_texts.h"

namespace gui {

QString StoredTexts::Show(const QObject* control, const std::string& bytes) {
  QString text = QString::fromStdString(bytes);
  shown_.insert(control, {text, bytes});
  return text;
}

std::string StoredTexts::Bytes(const QObject* control, const QString& text) const {
  auto it = shown_.constFind(control);
  if (it != shown_.constEnd() && it->first == text)
    return it->second;
  return text.toStdString();
}

}  // namespace gui
