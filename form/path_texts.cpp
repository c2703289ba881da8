#include "form/path_texts.h"

#include "engine/platform/path_rules.h"

namespace form {
namespace {

bool Separates(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string SettingsPathFor(const std::string& text, const std::string& folder) {
  std::string path = platform::IsPathName(text) ? text : folder + platform::kPathSeparator + text;
  std::erase(path, '"');
  return path;
}

std::string FirstParameter(const std::string& text) {
  size_t i = 0;
  const size_t n = text.size();
  for (;;) {
    while (i < n && Separates(text[i])) ++i;
    if (i + 1 < n && text[i] == '"' && text[i + 1] == '"') {
      i += 2;
    } else {
      break;
    }
  }
  std::string parameter;
  bool quoted = false;
  for (; i < n; ++i) {
    const char c = text[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (Separates(c) && !quoted) {
      break;
    } else {
      parameter += c;
    }
  }
  return parameter;
}

std::string QuotedIfBlank(const std::string& name) {
  if (name.find(' ') != std::string::npos && !name.starts_with('"'))
    return '"' + name + '"';
  return name;
}

std::string FolderPart(const std::string& path) {
  return path.substr(0, platform::ParentLength(path));
}

std::string NamePart(const std::string& path) {
  return path.substr(platform::ParentLength(path));
}

std::string ProgramTitle(const std::string& program_file_name) {
  std::string title = program_file_name.substr(0, program_file_name.find('.'));
  for (char& c : title) c = Lower(c);
  if (!title.empty())
    title[0] = Upper(title[0]);
  return title;
}

std::string WithFullStop(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
    return message + '.';
  return message;
}

}  // namespace form
