#include "wingui/flat_button.h"

namespace wingui {
namespace {

struct ButtonState {
  HFONT font = nullptr;
  bool hot = false;      // the mouse is over it
  bool pressed = false;  // held down by the mouse, which is over it
  bool captured = false;
};

ButtonState* StateOf(HWND window) {
  return reinterpret_cast<ButtonState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool Contains(HWND window, LPARAM lparam) {
  RECT client;
  GetClientRect(window, &client);
  const POINT point = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
  return PtInRect(&client, point) != FALSE;
}

void DrawDots(HDC dc, const RECT& face, bool pressed) {
  const int size = (face.bottom - face.top) >= 20 ? 2 : 1 + (face.bottom - face.top) / 12;
  const int gap = size * 2;
  const int width = size * 3 + gap * 2;
  const int shift = pressed ? 1 : 0;
  int left = (face.left + face.right - width) / 2 + shift;
  const int top = (face.top + face.bottom) / 2 + size + shift;
  HBRUSH brush = GetSysColorBrush(COLOR_BTNTEXT);
  for (int dot = 0; dot < 3; ++dot, left += size + gap) {
    const RECT square = {left, top, left + size, top + size};
    FillRect(dc, &square, brush);
  }
}

void Paint(HWND window, HDC dc, const ButtonState& state) {
  RECT client;
  GetClientRect(window, &client);
  const bool enabled = IsWindowEnabled(window) != FALSE;
  if (GetWindowLongPtrW(window, GWL_STYLE) & kBrowseLook) {
    DrawFrameControl(dc, &client, DFC_BUTTON, DFCS_BUTTONPUSH | (state.pressed ? DFCS_PUSHED : 0));
    DrawDots(dc, client, state.pressed);
    return;
  }
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  if (state.pressed) {
    DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);
  } else if (state.hot && enabled) {
    DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
  }
  wchar_t text[16] = {};
  GetWindowTextW(window, text, 16);
  HGDIOBJ old = SelectObject(dc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  if (state.pressed)
    OffsetRect(&client, 1, 1);
  DrawTextW(dc, text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
}

void Redraw(HWND window) {
  InvalidateRect(window, nullptr, FALSE);
}

LRESULT CALLBACK FlatButtonProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  ButtonState* state = StateOf(window);
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new ButtonState));
      break;
    case WM_NCDESTROY:
      delete state;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case WM_SETFONT:
      state->font = reinterpret_cast<HFONT>(wparam);
      if (LOWORD(lparam))
        Redraw(window);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(state->font);
    case WM_SETTEXT:
    case WM_ENABLE: {
      const LRESULT result = DefWindowProcW(window, message, wparam, lparam);
      Redraw(window);
      return result;
    }
    case WM_MOUSEMOVE: {
      if (!state->hot) {
        state->hot = true;
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, window, 0};
        TrackMouseEvent(&track);
        Redraw(window);
      }
      const bool pressed = state->captured && Contains(window, lparam);
      if (pressed != state->pressed) {
        state->pressed = pressed;
        Redraw(window);
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      state->hot = false;
      Redraw(window);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // No SetFocus: the focus stays where it was.
      SetCapture(window);
      state->captured = true;
      state->pressed = true;
      Redraw(window);
      return 0;
    case WM_LBUTTONUP: {
      if (!state->captured)
        return 0;
      const bool clicked = Contains(window, lparam);
      state->captured = false;
      state->pressed = false;
      ReleaseCapture();
      Redraw(window);
      if (clicked) {
        const int id = GetDlgCtrlID(window);
        SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(window));
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (state->captured) {
        state->captured = false;
        state->pressed = false;
        Redraw(window);
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      Paint(window, dc, *state);
      EndPaint(window, &paint);
      return 0;
    }
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

void RegisterFlatButtonClass(HINSTANCE instance) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = FlatButtonProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.lpszClassName = kFlatButtonClass;
  RegisterClassExW(&window_class);
}

}  // namespace wingui
