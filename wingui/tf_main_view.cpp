// What the form sets in the window and reads from it, control by control.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "wingui/control_ids.h"
#include "wingui/dialogs.h"
#include "wingui/progress_gauge.h"
#include "wingui/tf_main.h"

namespace wingui {

using form::ControlId;

namespace {

bool IsPage(ControlId control) {
  return control == ControlId::tsGeneral || control == ControlId::tsMisc ||
         control == ControlId::tsAbout;
}

int PageIndex(ControlId page) {
  return page == ControlId::tsGeneral ? 0 : page == ControlId::tsMisc ? 1 : 2;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool IsLabel(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return lstrcmpiW(name, WC_STATICW) == 0;
}

}  // namespace

void TfMain::FitLabel(HWND label, int max_right) {
  const std::wstring text = WindowText(label);
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  // Room for a blank after the text: a renderer may draw a line of small glyphs a few pixels
  // wider than their advances add up to (Wine does with Liberation Sans), and the label clips.
  SIZE blank = {};
  GetTextExtentPoint32W(dc, L" ", 1, &blank);
  if (!text.empty())
    size.cx += blank.cx;
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  RECT box;
  GetWindowRect(label, &box);
  MapWindowPoints(nullptr, GetParent(label), reinterpret_cast<POINT*>(&box), 2);
  int width = size.cx;
  if (max_right > 0)
    width = std::min(width, max_right - static_cast<int>(box.left));
  SetWindowPos(label, nullptr, 0, 0, width, metrics.tmHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TfMain::Text(ControlId control) const {
  if (IsPage(control)) {
    wchar_t text[256] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(Control(ControlId::pc), TCM_GETITEMW, PageIndex(control),
                 reinterpret_cast<LPARAM>(&item));
    return Utf8(text);
  }
  return Utf8(WindowText(Control(control)));
}

void TfMain::SetText(ControlId control, const std::string& text) {
  const std::wstring wide = Wide(text);
  HWND window = Control(control);
  if (IsPage(control)) {
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(wide.c_str());
    SendMessageW(Control(ControlId::pc), TCM_SETITEMW, PageIndex(control),
                 reinterpret_cast<LPARAM>(&item));
  }
  // The system reports a changed text as if typed; only what the user types goes to the form.
  setting_text_ = true;
  SetWindowTextW(window, wide.c_str());
  setting_text_ = false;
  if (IsLabel(window))
    FitLabel(window, 0);
}

bool TfMain::Checked(ControlId box) const {
  return SendMessageW(Control(box), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfMain::SetChecked(ControlId box, bool checked) {
  SendMessageW(Control(box), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TfMain::SetEnabled(ControlId control, bool enabled) {
  EnableWindow(Control(control), enabled ? TRUE : FALSE);
}

void TfMain::Focus(ControlId control) {
  SetFocus(Control(control));
}

void TfMain::Close() {
  DestroyWindow(window_);
}

void TfMain::ShowRunDisplay(bool shown) {
  // Shown without painting: the status line's layout text is never to be seen, and its first
  // text paints it.
  for (ControlId control : {ControlId::lbState, ControlId::pb}) {
    SetWindowPos(Control(control), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (shown ? SWP_SHOWWINDOW | SWP_NOREDRAW : SWP_HIDEWINDOW));
  }
  if (shown)
    InvalidateRect(Control(ControlId::lbState), nullptr, TRUE);
}

void TfMain::ShowStatus(const std::string& text) {
  HWND label = Control(ControlId::lbState);
  HWND panel = Control(ControlId::Panel1);
  RECT before;
  GetWindowRect(label, &before);
  SetText(ControlId::lbState, text);
  // What would lie beneath the buttons is never seen; the line stops short of them.
  RECT start;
  GetWindowRect(Control(ControlId::btStart), &start);
  MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&start), 2);
  FitLabel(label, start.left);
  RECT after;
  GetWindowRect(label, &after);
  RECT changed;
  UnionRect(&changed, &before, &after);
  MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&changed), 2);
  // The run holds this thread: the strip is painted now, the area a shorter text uncovers too.
  RedrawWindow(panel, &changed, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
}

void TfMain::ShowPercent(int percent) {
  SendMessageW(Control(ControlId::pb), kGaugeSetPercent, static_cast<WPARAM>(percent), 0);
}

}  // namespace wingui
