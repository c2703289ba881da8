// Sizes are laid out in pixels at 96 dots per inch; on another setting every size grows in
// proportion.
#pragma once

#include <windows.h>

namespace wingui {

class Scale {
 public:
  explicit Scale(int dpi) : dpi_(dpi) {}
  // The screen's setting, which the program sees since it declares itself aware of it.
  static Scale OfScreen();

  int dpi() const { return dpi_; }
  int operator()(int pixels_at_96) const { return MulDiv(pixels_at_96, dpi_, 96); }

 private:
  int dpi_;
};

}  // namespace wingui
