#include "wingui/containers.h"

#include <commctrl.h>

#include <string>

namespace wingui {
namespace {

void FillFace(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (IsReportFromChild(message))
    return ForwardToParent(window, message, wparam, lparam);
  switch (message) {
    case WM_ERASEBKGND:
      FillFace(window, reinterpret_cast<HDC>(wparam));
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
      EndPaint(window, &paint);
      return 0;
    }
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (IsReportFromChild(message))
    return ForwardToParent(window, message, wparam, lparam);
  // A label that reports clicks is a link: the pointer over it is a hand.
  if (message == WM_SETCURSOR) {
    HWND under = reinterpret_cast<HWND>(wparam);
    wchar_t name[16] = {};
    GetClassNameW(under, name, 16);
    if (under != window && lstrcmpiW(name, WC_STATICW) == 0 &&
        (GetWindowLongW(under, GWL_STYLE) & SS_NOTIFY) != 0 && LOWORD(lparam) == HTCLIENT) {
      SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
      return TRUE;
    }
  }
  if (message == WM_ERASEBKGND) {
    FillFace(window, reinterpret_cast<HDC>(wparam));
    return 1;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

bool IsGroupBox(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return lstrcmpiW(name, WC_BUTTONW) == 0 &&
         (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// An etched frame whose top line runs through the caption's middle, the caption on the face
// colour. Drawn here rather than by the system, whose caption box is as wide as the text's
// advances: a renderer that draws glyphs wider than that would lose the last letter.
void PaintGroupBox(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  FillFace(window, dc);
  HGDIOBJ old_font =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  RECT frame = client;
  frame.top += metrics.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  const int length = GetWindowTextLengthW(window);
  if (length > 0) {
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SIZE blank = {};
    GetTextExtentPoint32W(dc, L" ", 1, &blank);
    const int left = client.left + 8;
    RECT caption = {left - 1, client.top, left + size.cx + blank.cx, client.top + metrics.tmHeight};
    FillRect(dc, &caption, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(window) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    TextOutW(dc, left, client.top, text.c_str(), static_cast<int>(text.size()));
  }
  SelectObject(dc, old_font);
}

LRESULT CALLBACK ContainerSubclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR, DWORD_PTR) {
  if (IsReportFromChild(message))
    return ForwardToParent(window, message, wparam, lparam);
  if (message == WM_ERASEBKGND) {
    FillFace(window, reinterpret_cast<HDC>(wparam));
    return 1;
  }
  if (message == WM_PAINT && IsGroupBox(window)) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PaintGroupBox(window, dc);
    EndPaint(window, &paint);
    return 0;
  }
  if (message == WM_SETTEXT && IsGroupBox(window)) {
    const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
    InvalidateRect(window, nullptr, TRUE);
    return result;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

void Register(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.lpszClassName = name;
  RegisterClassExW(&window_class);
}

}  // namespace

void RegisterContainerClasses(HINSTANCE instance) {
  Register(instance, kPanelClass, PanelProc);
  Register(instance, kPageClass, PageProc);
}

void MakeContainer(HWND control) {
  SetWindowSubclass(control, ContainerSubclass, 1, 0);
}

bool IsReportFromChild(UINT message) {
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return true;
  }
  return false;
}

LRESULT ForwardToParent(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return SendMessageW(GetParent(window), message, wparam, lparam);
}

}  // namespace wingui
