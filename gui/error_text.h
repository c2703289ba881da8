// The program's standard error report: its title and how a message is finished.
#pragma once

#include <QString>

namespace gui {

// The program file's name cut at its first ".", with the first letter capital and every
// letter after it small: "parlowin" and "PARLOWIN.EXE" both give "Parlowin".
QString ProgramTitle(const QString& program_file_name);

// The message with a full stop appended when its last character's code is above ".", so a
// message that ends in a blank or a punctuation mark is left as it is.
QString WithFullStop(const QString& message);

}  // namespace gui
