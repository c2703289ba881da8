#include "gui/error_text.h"

namespace gui {

QString ProgramTitle(const QString& program_file_name) {
  QString title = program_file_name.section('.', 0, 0).toLower();
  if (!title.isEmpty())
    title[0] = title[0].toUpper();
  return title;
}

QString WithFullStop(const QString& message) {
  if (!message.isEmpty() && message.back() > QChar('.'))
    return message + '.';
  return message;
}

}  // namespace gui
