// Files and folders named in UTF-8, reached through the system's wide functions with no length
// limit, so tests can make and inspect what the narrow helpers cannot: names beyond the ANSI
// code page and paths beyond 260 characters. Paths are absolute, as the tests' folders are.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace windows_tests {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// Creates the folder and every missing folder above it.
void MakeFolders(const std::string& path);
// Writes the file, creating its folders.
void PutFile(const std::string& path, const std::string& bytes);
std::string GetFile(const std::string& path);
DWORD AttributesOf(const std::string& path);

// Every entry below `folder` as a path relative to it, folders ending in "\", sorted.
std::vector<std::string> TreeOf(const std::string& folder);

// Empty when every file below `copy` has the name, the bytes and the folder of one below
// `original` and the other way round; else what differs, one line each.
std::string TreeDifferences(const std::string& original, const std::string& copy);

}  // namespace windows_tests
