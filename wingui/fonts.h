// The window's fonts. Each asks for the face the window was designed with and falls back to
// faces every Windows has where the one it gets cannot show Cyrillic: "MS Sans Serif" is a
// bitmap face whose Western form draws Cyrillic letters as bars.
#pragma once

#include <windows.h>

#include <string>

#include "wingui/scale.h"

namespace wingui {

struct WindowFonts {
  HFONT text = nullptr;      // every control's, 8 points
  HFONT bold = nullptr;      // Start and the "+" buttons
  HFONT headline = nullptr;  // the About page's product name: 16 pixels, bold
};

WindowFonts MakeWindowFonts(const Scale& scale);
void DeleteWindowFonts(WindowFonts& fonts);

// The face the system gave for `font`.
std::wstring FaceOf(HFONT font);
// True when `font` can show the Cyrillic letters.
bool ShowsCyrillic(HFONT font);

}  // namespace wingui
