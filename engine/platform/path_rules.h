// How this OS writes paths: the separator the engine joins with, and where a path's parent
// ends. One definition per OS, beside its file system.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

extern const char kPathSeparator;  // '/' on POSIX, '\' on Windows

// Length of the parent part of `path`, up to and including its last separator (on Windows
// also a drive's ":"); 0 when there is none.
size_t ParentLength(std::string_view path);

// True when a settings name already says where the file lies, so the current folder is not
// put in front of it: POSIX, a name with "/"; Windows, a name with "\" or "/", or with a
// drive prefix such as "C:".
bool IsPathName(std::string_view name);

// True when a bare settings name must get the current folder's path in front before the OS
// is asked for it: on Windows the profile functions would look for it in the Windows folder.
// POSIX opens a bare name from the current folder itself, however deep that lies, where the
// joined path could be longer than the OS accepts.
extern const bool kBareNameNeedsWorkingFolder;

}  // namespace platform
