#include "wingui/progress_gauge.h"

#include <algorithm>
#include <string>

#include "wingui/control_ids.h"

namespace wingui {
namespace {

struct GaugeState {
  int percent = 0;
  HFONT font = nullptr;
};

COLORREF Inverted(COLORREF color) {
  return RGB(255 - GetRValue(color), 255 - GetGValue(color), 255 - GetBValue(color));
}

void DrawClippedText(HDC dc, const RECT& clip, RECT text_area, const std::wstring& text,
                     COLORREF color) {
  SaveDC(dc);
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  SetTextColor(dc, color);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &text_area,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  RestoreDC(dc, -1);
}

LRESULT CALLBACK GaugeProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* state = reinterpret_cast<GaugeState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new GaugeState));
      break;
    case WM_NCDESTROY:
      delete state;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case WM_SETFONT:
      state->font = reinterpret_cast<HFONT>(wparam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(state->font);
    case kGaugeSetPercent:
      state->percent = std::clamp(static_cast<int>(wparam), 0, 100);
      if (IsWindowVisible(window))
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      return 0;
    case kGaugeGetPercent:
      return state->percent;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      // Drawn off screen and put there in one piece, so the bar never flickers.
      HDC memory = CreateCompatibleDC(dc);
      HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
      HGDIOBJ old_bitmap = SelectObject(memory, bitmap);
      PaintGauge(memory, client, state->percent, kNavy, state->font);
      BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
      SelectObject(memory, old_bitmap);
      DeleteObject(bitmap);
      DeleteDC(memory);
      EndPaint(window, &paint);
      return 0;
    }
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

void PaintGauge(HDC dc, const RECT& area, int percent, COLORREF fore, HFONT font) {
  HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
  FrameRect(dc, &area, frame);
  DeleteObject(frame);
  RECT inner = area;
  InflateRect(&inner, -1, -1);
  const int bar_width = (inner.right - inner.left) * std::clamp(percent, 0, 100) / 100;
  const RECT bar = {inner.left, inner.top, inner.left + bar_width, inner.bottom};
  const RECT rest = {bar.right, inner.top, inner.right, inner.bottom};
  HBRUSH bar_brush = CreateSolidBrush(fore);
  FillRect(dc, &bar, bar_brush);
  DeleteObject(bar_brush);
  FillRect(dc, &rest, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

  const std::wstring text = std::to_wstring(std::clamp(percent, 0, 100)) + L"%";
  HGDIOBJ old_font = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  DrawClippedText(dc, rest, inner, text, Inverted(RGB(255, 255, 255)));
  DrawClippedText(dc, bar, inner, text, Inverted(fore));
  SelectObject(dc, old_font);
}

void RegisterGaugeClass(HINSTANCE instance) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = GaugeProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.lpszClassName = kGaugeClass;
  RegisterClassExW(&window_class);
}

}  // namespace wingui
