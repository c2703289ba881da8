#include "engine/platform/win32/win32_system_path.h"

#include <windows.h>

#include <vector>

#include "engine/platform/win32/win32_text.h"

namespace platform {
namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool IsDriveLetter(wchar_t c) {
  return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// The system's full path of a folder the process keeps ("." or "C:" or "\").
std::wstring FullPathOf(const wchar_t* relative) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    DWORD length =
        GetFullPathNameW(relative, static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0)
      return {};
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

// `root` followed by the names of `rest`, with "." dropped and ".." taking back one name.
std::wstring Resolved(std::wstring root, std::wstring_view rest) {
  std::vector<std::wstring_view> names;
  while (!rest.empty()) {
    const size_t cut = rest.find(L'\\');
    const std::wstring_view name = rest.substr(0, cut);
    rest = cut == std::wstring_view::npos ? std::wstring_view() : rest.substr(cut + 1);
    if (name.empty() || name == L".")
      continue;
    if (name == L"..") {
      if (!names.empty())
        names.pop_back();
      continue;
    }
    names.push_back(name);
  }
  if (names.empty())
    return root + L'\\';
  for (std::wstring_view name : names) root.append(1, L'\\').append(name);
  return root;
}

std::wstring Absolute(const std::wstring& path, bool may_resolve) {
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\') {
    return Resolved(std::wstring(kLongPrefix) + path.substr(0, 2),
                    std::wstring_view(path).substr(3));
  }
  if (StartsWith(path, L"\\\\")) {
    // \\server\share is the root; ".." never climbs above it.
    const size_t server_end = path.find(L'\\', 2);
    if (server_end == std::wstring::npos || server_end == 2)
      return path;
    const size_t share_end = path.find(L'\\', server_end + 1);
    const bool has_tail = share_end != std::wstring::npos;
    const std::wstring_view tail =
        has_tail ? std::wstring_view(path).substr(share_end + 1) : std::wstring_view();
    const std::wstring share =
        path.substr(server_end + 1, has_tail ? share_end - server_end - 1 : std::wstring::npos);
    if (share.empty())
      return path;
    return Resolved(
        std::wstring(kLongPrefix) + L"UNC\\" + path.substr(2, server_end - 2) + L'\\' + share,
        tail);
  }
  if (!may_resolve)
    return {};
  // Relative to the current folder, to the current drive's root, or to a drive's own folder.
  std::wstring base;
  std::wstring_view rest = path;
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':') {
    base = FullPathOf(path.substr(0, 2).c_str());
    rest.remove_prefix(2);
  } else if (path[0] == L'\\') {
    base = FullPathOf(L"\\");
  } else {
    base = FullPathOf(L".");
  }
  if (base.empty())
    return {};
  return Absolute(base + L'\\' + std::wstring(rest), false);
}

}  // namespace

std::wstring SystemPath(std::string_view path) {
  std::wstring wide;
  if (!WideFromUtf8(path, &wide) || wide.empty())
    return {};
  if (StartsWith(wide, kLongPrefix) || StartsWith(wide, L"\\\\.\\"))
    return wide;
  for (wchar_t& c : wide) {
    if (c == L'/')
      c = L'\\';
  }
  return Absolute(wide, true);
}

std::wstring SystemPathIn(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder).append(1, '\\').append(name);
  return SystemPath(path);
}

}  // namespace platform
