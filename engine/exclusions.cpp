#include "engine/exclusions.h"

#include "engine/wildcard.h"

namespace engine {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

Exclusions::Exclusions(std::string_view masks) {
  while (!masks.empty()) {
    const size_t cut = masks.find(';');
    std::string_view mask = masks.substr(0, cut);
    masks = cut == std::string_view::npos ? std::string_view() : masks.substr(cut + 1);
    while (!mask.empty() && IsBlank(mask.front())) mask.remove_prefix(1);
    while (!mask.empty() && IsBlank(mask.back())) mask.remove_suffix(1);
    if (!mask.empty())
      masks_.emplace_back(mask);
  }
}

bool Exclusions::Excludes(std::string_view name) const {
  for (const std::string& mask : masks_) {
    if (MatchesMask(mask, name))
      return true;
  }
  return false;
}

}  // namespace engine
