#include "gui/settings_path.h"

namespace gui {

QString SettingsPathFor(const QString& text, const QString& program_folder) {
  QString path = text.contains('/') ? text : program_folder + '/' + text;
  path.remove('"');
  return path;
}

QString FirstParameter(const QString& text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  for (;;) {
    while (i < n && text[i] <= QChar(' ')) ++i;
    if (i + 1 < n && text[i] == '"' && text[i + 1] == '"') {
      i += 2;
    } else {
      break;
    }
  }
  QString parameter;
  bool quoted = false;
  for (; i < n; ++i) {
    const QChar c = text[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (c <= QChar(' ') && !quoted) {
      break;
    } else {
      parameter += c;
    }
  }
  return parameter;
}

QString QuotedIfBlank(const QString& name) {
  if (name.contains(' ') && !name.startsWith('"'))
    return '"' + name + '"';
  return name;
}

QString FolderPart(const QString& path) {
  return path.left(path.lastIndexOf('/') + 1);
}

QString NamePart(const QString& path) {
  return path.mid(path.lastIndexOf('/') + 1);
}

}  // namespace gui
