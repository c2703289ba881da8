#include "tests/form/fake_view.h"

namespace form_tests {
namespace {

// The length of the valid UTF-8 sequence at `i`, or 0.
size_t SequenceLength(const std::string& text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length = lead < 0x80                   ? 1
                  : lead >= 0xC2 && lead < 0xE0 ? 2
                  : lead >= 0xE0 && lead < 0xF0 ? 3
                  : lead >= 0xF0 && lead < 0xF5 ? 4
                                                : 0;
  if (length == 0 || i + length > text.size())
    return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80)
      return 0;
  }
  // Overlong forms and surrogates are no valid UTF-8 either.
  if ((lead == 0xE0 && byte(i + 1) < 0xA0) || (lead == 0xED && byte(i + 1) >= 0xA0) ||
      (lead == 0xF0 && byte(i + 1) < 0x90) || (lead == 0xF4 && byte(i + 1) >= 0x90)) {
    return 0;
  }
  return length;
}

std::string AsShown(const std::string& text) {
  std::string shown;
  for (size_t i = 0; i < text.size();) {
    const size_t length = SequenceLength(text, i);
    if (length == 0) {
      shown += "\xEF\xBF\xBD";
      ++i;
    } else {
      shown.append(text, i, length);
      i += length;
    }
  }
  return shown;
}

}  // namespace

FakeView::FakeView() {
  texts_[ControlId::meMask] = "*.*";
  for (ControlId box :
       {ControlId::chSyncSub, ControlId::chCreateSub, ControlId::chSize, ControlId::chDate}) {
    checked_[box] = true;
  }
  for (ControlId box : {ControlId::chReadOnly, ControlId::chHidden, ControlId::chArchive,
                        ControlId::chSystem, ControlId::chCompressed}) {
    disabled_[box] = true;
  }
}

std::string FakeView::Text(ControlId control) const {
  auto it = texts_.find(control);
  return it == texts_.end() ? std::string() : it->second;
}

void FakeView::SetText(ControlId control, const std::string& text) {
  texts_[control] = AsShown(text);
}

bool FakeView::Checked(ControlId box) const {
  auto it = checked_.find(box);
  return it != checked_.end() && it->second;
}

bool FakeView::Enabled(ControlId control) const {
  auto it = disabled_.find(control);
  return it == disabled_.end() || !it->second;
}

}  // namespace form_tests
