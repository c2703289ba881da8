#include "form/stored_texts.h"

namespace form {

void StoredTexts::Show(FormView& view, ControlId control, const std::string& bytes) {
  view.SetText(control, bytes);
  shown_[control] = {view.Text(control), bytes};
}

std::string StoredTexts::Bytes(const FormView& view, ControlId control) const {
  std::string text = view.Text(control);
  auto it = shown_.find(control);
  if (it != shown_.end() && it->second.first == text)
    return it->second.second;
  return text;
}

}  // namespace form
