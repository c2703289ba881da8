#include "tests/windows/unicode_files.h"

#include <algorithm>
#include <stdexcept>

namespace windows_tests {
namespace {

std::wstring LongForm(const std::string& path) {
  return L"\\\\?\\" + Wide(path);
}

void ListInto(const std::string& folder, const std::string& relative,
              std::vector<std::string>* entries) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((LongForm(folder) + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE)
    return;
  do {
    const std::string name = Utf8(data.cFileName);
    if (name == "." || name == "..")
      continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      entries->push_back(relative + name + "\\");
      ListInto(folder + "\\" + name, relative + name + "\\", entries);
    } else {
      entries->push_back(relative + name);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

}  // namespace

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size() + 1, L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(),
                                                      static_cast<int>(utf8.size()), wide.data(),
                                                      static_cast<int>(wide.size()))));
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  std::string text(wide.size() * 4 + 1, '\0');
  text.resize(static_cast<size_t>(
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                          static_cast<int>(text.size()), nullptr, nullptr)));
  return text;
}

void MakeFolders(const std::string& path) {
  if (AttributesOf(path) != INVALID_FILE_ATTRIBUTES)
    return;
  const size_t cut = path.find_last_of('\\');
  if (cut != std::string::npos && cut > 2)
    MakeFolders(path.substr(0, cut));
  if (!CreateDirectoryW(LongForm(path).c_str(), nullptr))
    throw std::runtime_error("cannot create " + path);
}

void PutFile(const std::string& path, const std::string& bytes) {
  MakeFolders(path.substr(0, path.find_last_of('\\')));
  HANDLE file = CreateFileW(LongForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw std::runtime_error("cannot write " + path);
  DWORD written = 0;
  const bool done =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  CloseHandle(file);
  if (!done)
    throw std::runtime_error("cannot write " + path);
}

std::string GetFile(const std::string& path) {
  HANDLE file = CreateFileW(LongForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return "<missing>";
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

DWORD AttributesOf(const std::string& path) {
  return GetFileAttributesW(LongForm(path).c_str());
}

std::vector<std::string> TreeOf(const std::string& folder) {
  std::vector<std::string> entries;
  ListInto(folder, "", &entries);
  std::sort(entries.begin(), entries.end());
  return entries;
}

std::string TreeDifferences(const std::string& original, const std::string& copy) {
  const std::vector<std::string> want = TreeOf(original), got = TreeOf(copy);
  std::string differences;
  for (const std::string& entry : want) {
    if (!std::binary_search(got.begin(), got.end(), entry))
      differences += "missing " + entry + "\n";
    else if (entry.back() != '\\' &&
             GetFile(original + "\\" + entry) != GetFile(copy + "\\" + entry))
      differences += "other bytes " + entry + "\n";
  }
  for (const std::string& entry : got) {
    if (!std::binary_search(want.begin(), want.end(), entry))
      differences += "extra " + entry + "\n";
  }
  return differences;
}

}  // namespace windows_tests
