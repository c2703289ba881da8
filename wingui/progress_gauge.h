// The run's gauge: a black one-pixel frame, the bar in its fore colour over white, and the
// percentage centred, drawn inverted against what lies beneath it (dark over white, light over
// the bar). It paints at once when its percentage changes: the run holds the window's thread.
#pragma once

#include <windows.h>

namespace wingui {

inline constexpr wchar_t kGaugeClass[] = L"ParlowenGauge";
// wparam: the percentage, 0 to 100.
inline constexpr UINT kGaugeSetPercent = WM_USER + 1;
inline constexpr COLORREF kNavy = RGB(0, 0, 128);

void RegisterGaugeClass(HINSTANCE instance);

// Draws the gauge into `dc` over `area`, as its window paints itself.
void PaintGauge(HDC dc, const RECT& area, int percent, COLORREF fore, HFONT font);

}  // namespace wingui
