#include "engine/wildcard.h"

namespace engine {
namespace {

char Fold(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Greedy match with one backtracking point: the last "*" seen takes one more character when
// the rest fails. Linear in practice, never worse than mask length x name length.
bool MatchPlain(std::string_view mask, std::string_view name) {
  size_t m = 0, n = 0;
  size_t star = std::string_view::npos, star_n = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      star = m++;
      star_n = n;
    } else if (m < mask.size() && (mask[m] == '?' || Fold(mask[m]) == Fold(name[n]))) {
      ++m;
      ++n;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++star_n;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

bool EndsWithDotStar(std::string_view mask) {
  return mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*";
}

}  // namespace

bool MatchesMask(std::string_view mask, std::string_view name) {
  if (mask.empty())
    return false;
  if (MatchPlain(mask, name))
    return true;
  // What remains without the ".*" is a mask by the same rules: "*.*.*" matches what "*.*" does.
  return EndsWithDotStar(mask) && MatchesMask(mask.substr(0, mask.size() - 2), name);
}

bool MaskMatchesEverything(std::string_view mask) {
  while (EndsWithDotStar(mask)) mask.remove_suffix(2);
  if (mask.empty())
    return false;
  for (char c : mask) {
    if (c != '*')
      return false;
  }
  return true;
}

}  // namespace engine
