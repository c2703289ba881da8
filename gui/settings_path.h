// Texts of the settings-file field: how its text becomes the settings path, and how a chosen
// file name is shown in it.
#pragma once

#include <QString>

namespace gui {

// A text with "/" is the path itself; any other text, the empty one too, names a file in the
// program folder. Double quotes are dropped either way. Nothing is trimmed, no extension added.
QString SettingsPathFor(const QString& text, const QString& program_folder);

// The first parameter of a text split as a command line: blanks and control characters
// separate, a double quote opens or closes a stretch in which blanks do not, the quotes are
// dropped, and an empty pair of quotes where a parameter would begin is skipped.
QString FirstParameter(const QString& text);

// A name with a blank is shown in double quotes, unless it already begins with one.
QString QuotedIfBlank(const QString& name);

// "/a/b.bfs" gives "/a/" and "b.bfs"; a name without "/" has no folder part.
QString FolderPart(const QString& path);
QString NamePart(const QString& path);

}  // namespace gui
