// Settings values are bytes, and a toolkit may change bytes that are no valid UTF-8 on their
// way into a control. Every save writes every key, so the bytes that were loaded are written
// back for as long as the control still shows what it showed for them.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "form/form_view.h"

namespace form {

class StoredTexts {
 public:
  // Puts `bytes` into the control and remembers what the control made of them.
  void Show(FormView& view, ControlId control, const std::string& bytes);
  // The bytes to write for what the control shows now.
  std::string Bytes(const FormView& view, ControlId control) const;

 private:
  std::map<ControlId, std::pair<std::string, std::string>> shown_;  // shown text, bytes
};

}  // namespace form
