#include "wingui/scale.h"

namespace wingui {

Scale Scale::OfScreen() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen)
    ReleaseDC(nullptr, screen);
  return Scale(dpi > 0 ? dpi : 96);
}

}  // namespace wingui
