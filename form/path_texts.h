// Texts of the window's paths and boxes: how the settings-file field's text becomes a path, how
// a chosen name is shown in it, and how the error report is titled and finished. Texts are
// UTF-8; the path separator is this OS's.
#pragma once

#include <string>

namespace form {

// A text that says where the file lies (POSIX: it has a "/"; Windows: a "\", a "/" or a drive
// prefix) is the path itself; any other text, the empty one too, names a file in `folder`.
// Double quotes are dropped either way. Nothing is trimmed, no extension added.
std::string SettingsPathFor(const std::string& text, const std::string& folder);

// The first parameter of a text split as a command line: blanks and control characters
// separate, a double quote opens or closes a stretch in which blanks do not, the quotes are
// dropped, and an empty pair of quotes where a parameter would begin is skipped.
std::string FirstParameter(const std::string& text);

// A name with a blank is shown in double quotes, unless it already begins with one.
std::string QuotedIfBlank(const std::string& name);

// "/a/b.bfs" gives "/a/" and "b.bfs"; a name without a folder has no folder part.
std::string FolderPart(const std::string& path);
std::string NamePart(const std::string& path);

// The program file's name cut at its first ".", its first letter capital and every letter
// after it small: "parlowin" and "PARLOWIN.EXE" both give "Parlowin". Only ASCII letters
// change case.
std::string ProgramTitle(const std::string& program_file_name);

// The message with a full stop appended when its last byte's code is above ".", so a message
// that ends in a blank or a punctuation mark is left as it is (and one that ends in a letter
// beyond ASCII gets one).
std::string WithFullStop(const std::string& message);

}  // namespace form
