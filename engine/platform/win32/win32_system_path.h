// Paths in the form the wide file functions take without any length limit.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// "\\?\C:\..." or "\\?\UNC\server\share\..." for a path of the engine. Separators ("\" or "/",
// also repeated) count as one, "." and ".." are resolved, and every name stays exactly as
// written: also one that ends in a dot or a blank, or spells a device such as NUL, which the
// system's older rules would change. A relative path is taken from the current folder (of its
// drive). A path already in a device form ("\\?\", "\\.\") is left as it is. An empty path, or
// one that is not UTF-8, gives an empty result, which every file function refuses.
std::wstring SystemPath(std::string_view path);

// SystemPath of `folder` joined with `name` (a name or a search pattern) by "\", as the engine
// joins them.
std::wstring SystemPathIn(std::string_view folder, std::string_view name);

}  // namespace platform
