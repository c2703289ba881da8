#include "engine/ini_text.h"

#include <vector>

namespace engine {
namespace {

constexpr std::string_view kBlank = " \t\r\v\f";

std::string_view Trim(std::string_view s) {
  size_t first = s.find_first_not_of(kBlank);
  if (first == std::string_view::npos)
    return {};
  return s.substr(first, s.find_last_not_of(kBlank) - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z')
      x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z')
      y = static_cast<char>(y - 'a' + 'A');
    if (x != y)
      return false;
  }
  return true;
}

enum class LineKind { kOther, kSection, kKey };

struct Line {
  size_t begin = 0;  // offset of the line's first byte
  size_t end = 0;    // offset just past its content, before "\r\n" or "\n"
  LineKind kind = LineKind::kOther;
  std::string_view name;                  // section or key name, trimmed
  std::optional<std::string_view> value;  // key value, trimmed; none for a line without "="
};

Line ParseLine(std::string_view text, size_t begin, size_t end) {
  Line line;
  line.begin = begin;
  line.end = end;
  std::string_view content = Trim(text.substr(begin, end - begin));
  if (content.empty())
    return line;
  if (content.front() == '[') {
    size_t close = content.find(']');
    if (close == std::string_view::npos)
      return line;  // not a section line: ignored
    line.kind = LineKind::kSection;
    line.name = Trim(content.substr(1, close - 1));
    return line;
  }
  size_t eq = content.find('=');
  line.kind = LineKind::kKey;
  if (eq == std::string_view::npos) {
    line.name = content;
  } else {
    line.name = Trim(content.substr(0, eq));
    line.value = Trim(content.substr(eq + 1));
  }
  if (line.name.empty())
    line.kind = LineKind::kOther;
  return line;
}

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t pos = 0;
  // A byte-order mark belongs to no line.
  if (text.substr(0, 3) == "\xEF\xBB\xBF")
    pos = 3;
  // A line ends at LF, CR LF or a CR alone, as the profile functions read it.
  while (pos < text.size()) {
    size_t stop = text.find_first_of("\r\n", pos);
    if (stop == std::string_view::npos)
      stop = text.size();
    lines.push_back(ParseLine(text, pos, stop));
    pos = stop + (text.substr(stop, 2) == "\r\n" ? 2 : 1);
  }
  return lines;
}

// Index range [first, last) of the lines that belong to the first section named `section`;
// first is the section line itself. Not found: first == lines.size().
std::pair<size_t, size_t> FindSection(const std::vector<Line>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == LineKind::kSection && SameName(lines[i].name, section)) {
      size_t j = i + 1;
      while (j < lines.size() && lines[j].kind != LineKind::kSection) ++j;
      return {i, j};
    }
  }
  return {lines.size(), lines.size()};
}

std::string_view LineEnd(std::string_view text, std::string_view new_line_end) {
  size_t first = text.find_first_of("\r\n");
  if (first == std::string_view::npos)
    return new_line_end;
  if (text[first] == '\n')
    return "\n";
  return text.substr(first, 2) == "\r\n" ? "\r\n" : "\r";
}

bool EndsWithLineBreak(std::string_view text) {
  return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key, size_t max_length) {
  std::vector<Line> lines = SplitLines(text);
  auto [first, last] = FindSection(lines, section);
  for (size_t i = first + 1; i < last; ++i) {
    const Line& line = lines[i];
    if (line.kind != LineKind::kKey || !SameName(line.name, key))
      continue;
    if (!line.value)
      return std::nullopt;  // a key without "=" has no value
    std::string_view value = *line.value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, max_length));
  }
  return std::nullopt;
}

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value, std::string_view new_line_end) {
  // A line break in a value would start a new line and could forge keys: keep the first line.
  value = value.substr(0, value.find_first_of("\r\n"));
  std::vector<Line> lines = SplitLines(text);
  std::string_view eol = LineEnd(text, new_line_end);
  auto [first, last] = FindSection(lines, section);

  std::string result;
  result.reserve(text.size() + key.size() + value.size() + 16);
  if (first == lines.size()) {
    result.append(text);
    if (!text.empty() && !EndsWithLineBreak(text))
      result.append(eol);
    result.append("[").append(section).append("]").append(eol);
    result.append(key).append("=").append(value).append(eol);
    return result;
  }
  for (size_t i = first + 1; i < last; ++i) {
    const Line& line = lines[i];
    if (line.kind == LineKind::kKey && SameName(line.name, key)) {
      size_t name_at = text.find(line.name, line.begin);
      result.append(text.substr(0, line.begin));
      result.append(text.substr(name_at, line.name.size())).append("=").append(value);
      result.append(text.substr(line.end));
      return result;
    }
  }
  // A new key goes after the section's last non-blank line.
  size_t after = first;
  for (size_t i = first + 1; i < last; ++i) {
    if (!Trim(text.substr(lines[i].begin, lines[i].end - lines[i].begin)).empty())
      after = i;
  }
  size_t insert_at = after + 1 < lines.size() ? lines[after + 1].begin : text.size();
  result.append(text.substr(0, insert_at));
  if (insert_at == text.size() && !text.empty() && !EndsWithLineBreak(text))
    result.append(eol);
  result.append(key).append("=").append(value).append(eol);
  result.append(text.substr(insert_at));
  return result;
}

}  // namespace engine
