// The names a run leaves alone: masks separated by ";", each by the file-name mask rules. A
// file whose name matches one is not listed; a folder whose name matches one is not entered,
// so nothing below it is listed and none of its folders is made in the targets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace engine {

class Exclusions {
 public:
  // Blanks and tabs around each mask are dropped, and so are empty masks.
  explicit Exclusions(std::string_view masks);

  bool empty() const { return masks_.empty(); }
  bool Excludes(std::string_view name) const;

 private:
  std::vector<std::string> masks_;
};

}  // namespace engine
