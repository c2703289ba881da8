// Where the window keeps what its design puts beside the program file. A program installed
// for every user (in /usr/bin) lies in a folder the user may not write: a bare settings name,
// the folder dialogs' start and the documentation are then looked for elsewhere.
#pragma once

#include <string>

#include "engine/platform/file_system.h"

namespace form {

// True when `path` names something that is there and is no folder.
bool FileExists(platform::FileSystem& fs, const std::string& path);

// The user's folder for settings files by the XDG base directories: $XDG_CONFIG_HOME/parlowen,
// or $HOME/.config/parlowen where XDG_CONFIG_HOME is unset, empty or not absolute. Empty when
// neither gives an absolute folder. Either argument may be null (unset).
std::string XdgSettingsFolder(const char* xdg_config_home, const char* home);

// The folder a bare settings name is taken from and the folder dialogs start in: the program
// folder where the user may make a file in it, else `user_folder`, made if missing. A failure
// to make it is not reported here: saving there then fails with its own message.
std::string ChooseSettingsFolder(platform::FileSystem& fs, const std::string& program_folder,
                                 const std::string& user_folder);

// The README installed with the program: <prefix>/share/doc/parlowen/README.md for a program
// in <prefix>/bin, else README.md beside the program; the first of them that exists, or the
// first when neither does.
std::string DocumentationPath(platform::FileSystem& fs, const std::string& program_folder);

}  // namespace form
