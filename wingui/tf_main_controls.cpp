// Construction of the window's controls: kind, parent, place, start-up state and the English
// layout texts, which the form replaces before the window is first shown.
#include <windows.h>

#include <commctrl.h>

#include "wingui/containers.h"
#include "wingui/control_ids.h"
#include "wingui/flat_button.h"
#include "wingui/progress_gauge.h"
#include "wingui/tf_main.h"

namespace wingui {

using form::ControlId;

namespace {

constexpr int kClientWidth = 459;
constexpr int kClientHeight = 331;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT | SS_NOPREFIX;
constexpr DWORD kCheckBox = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kPushButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;  // never BS_DEFPUSHBUTTON
constexpr DWORD kGroupBox = kChild | WS_CLIPCHILDREN | BS_GROUPBOX;

}  // namespace

HWND TfMain::MakeIn(HWND parent, int id, const wchar_t* window_class, DWORD style, int left,
                    int top, int width, int height, const wchar_t* text) {
  const DWORD extended = lstrcmpW(window_class, WC_EDITW) == 0 ? WS_EX_CLIENTEDGE : 0;
  HWND control = CreateWindowExW(
      extended, window_class, text, style, scale_(left), scale_(top), scale_(width), scale_(height),
      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.text), FALSE);
  return control;
}

HWND TfMain::Make(ControlId id, const wchar_t* window_class, DWORD style, ControlId parent,
                  int left, int top, int width, int height, const wchar_t* text) {
  HWND control =
      MakeIn(Control(parent), ControlIdOf(id), window_class, style, left, top, width, height, text);
  controls_[static_cast<size_t>(id)] = control;
  if (lstrcmpW(window_class, WC_STATICW) == 0)
    FitLabel(control, 0);
  return control;
}

void TfMain::BuildControls() {
  // Declared order; every parent exists before its children.
  BuildBottomStrip();
  BuildPages();
  BuildGeneralPage();
  BuildMiscPage();
  BuildAboutPage();
}

void TfMain::BuildBottomStrip() {
  controls_[static_cast<size_t>(ControlId::Panel1)] =
      MakeIn(window_, ControlIdOf(ControlId::Panel1), kPanelClass, kChild | WS_CLIPCHILDREN, 0, 280,
             kClientWidth, 51, L"");
  Make(ControlId::btExit, WC_BUTTONW, kPushButton, ControlId::Panel1, 376, 13, 75, 31, L"Exit");
  HWND start = Make(ControlId::btStart, WC_BUTTONW, kPushButton, ControlId::Panel1, 301, 13, 75, 31,
                    L"Start");
  SendMessageW(start, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.bold), FALSE);
  // Hidden until a run; created after the buttons, so a long status line passes beneath them.
  Make(ControlId::pb, kGaugeClass, WS_CHILD, ControlId::Panel1, 7, 30, 281, 13, L"");
  Make(ControlId::lbState, WC_STATICW, (kLabel & ~WS_VISIBLE), ControlId::Panel1, 8, 14, 33, 13,
       L"lbState");
  SetWindowPos(Control(ControlId::pb), HWND_BOTTOM, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(Control(ControlId::lbState), HWND_BOTTOM, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TfMain::BuildPages() {
  HWND pc =
      MakeIn(window_, ControlIdOf(ControlId::pc), WC_TABCONTROLW,
             kChild | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, kClientWidth, 280, L"");
  controls_[static_cast<size_t>(ControlId::pc)] = pc;
  MakeContainer(pc);
  const struct {
    ControlId page;
    const wchar_t* text;
  } pages[] = {{ControlId::tsGeneral, L"General"},
               {ControlId::tsMisc, L"Misc."},
               {ControlId::tsAbout, L"About"}};
  for (int index = 0; index < 3; ++index) {
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(pages[index].text);
    SendMessageW(pc, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
  }
  // The pages fill the tab control's display area.
  RECT area;
  GetClientRect(pc, &area);
  SendMessageW(pc, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (const auto& page : pages) {
    HWND window = CreateWindowExW(
        WS_EX_CONTROLPARENT, kPageClass, page.text, WS_CHILD | WS_CLIPSIBLINGS, area.left, area.top,
        area.right - area.left, area.bottom - area.top, pc,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlIdOf(page.page))), instance_, nullptr);
    controls_[static_cast<size_t>(page.page)] = window;
  }
  ShowPage(0);
}

void TfMain::MakePathField(ControlId field, ControlId parent, int left, int top, int width) {
  HWND edit = Make(field, WC_EDITW, kChild | WS_TABSTOP | WS_CLIPSIBLINGS | ES_AUTOHSCROLL, parent,
                   left, top, width, 21, L"");
  // The browse button lies over the edit's right end, inside its sunken border; a button
  // made the edit's own child would never be painted.
  RECT box;
  GetWindowRect(edit, &box);
  MapWindowPoints(nullptr, Control(parent), reinterpret_cast<POINT*>(&box), 2);
  const int border = GetSystemMetrics(SM_CXEDGE);
  const int size = (box.bottom - box.top) - 2 * border;
  HWND button = CreateWindowExW(
      0, kFlatButtonClass, L"", kChild | kBrowseLook, box.right - border - size, box.top + border,
      size, size, Control(parent), reinterpret_cast<HMENU>(static_cast<INT_PTR>(BrowseIdOf(field))),
      instance_, nullptr);
  SetWindowPos(button, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(edit, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, size + 1));
}

void TfMain::BuildGeneralPage() {
  Make(ControlId::Label1, WC_STATICW, kLabel, ControlId::tsGeneral, 8, 5, 92, 13,
       L"Options from INI-file");
  HWND group = Make(ControlId::gbPath, WC_BUTTONW, kGroupBox, ControlId::tsGeneral, 7, 44, 433, 165,
                    L"Path");
  MakeContainer(group);
  MakePathField(ControlId::meSource, ControlId::gbPath, 9, 32, 398);
  // Never shown or used.
  Make(ControlId::SpeedButton2, kFlatButtonClass, WS_CHILD, ControlId::gbPath, 406, 32, 22, 21,
       L"+");
  MakePathField(ControlId::meMaster, ControlId::gbPath, 9, 95, 399);
  Make(ControlId::SpeedButton4, kFlatButtonClass, WS_CHILD, ControlId::gbPath, 406, 95, 22, 21,
       L"+");
  MakePathField(ControlId::meDest, ControlId::gbPath, 9, 135, 399);
  Make(ControlId::SpeedButton6, kFlatButtonClass, kChild, ControlId::gbPath, 406, 135, 22, 21,
       L"+");
  for (ControlId plus :
       {ControlId::SpeedButton2, ControlId::SpeedButton4, ControlId::SpeedButton6}) {
    SendMessageW(Control(plus), WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.bold), FALSE);
  }
  Make(ControlId::Label2, WC_STATICW, kLabel, ControlId::gbPath, 10, 18, 66, 13, L"Source Folder");
  Make(ControlId::Label3, WC_STATICW, kLabel, ControlId::gbPath, 10, 81, 64, 13, L"Master Folder");
  Make(ControlId::Label4, WC_STATICW, kLabel, ControlId::gbPath, 10, 121, 85, 13,
       L"Destination Folder");
  Make(ControlId::chSyncSub, WC_BUTTONW, kCheckBox, ControlId::gbPath, 8, 56, 249, 17,
       L"Synchronize Subfolders");
  Make(ControlId::chCreateSub, WC_BUTTONW, kCheckBox, ControlId::gbPath, 264, 56, 142, 17,
       L"Create if not exists");
  MakePathField(ControlId::cbINI, ControlId::tsGeneral, 8, 24, 241);
  for (ControlId box : {ControlId::chSyncSub, ControlId::chCreateSub}) {
    SendMessageW(Control(box), BM_SETCHECK, BST_CHECKED, 0);
  }
}

void TfMain::BuildMiscPage() {
  Make(ControlId::Label5, WC_STATICW, kLabel, ControlId::tsMisc, 8, 13, 44, 13, L"File types");
  // The height given is the dropped list's; the closed box's height comes from its item height.
  HWND mask = Make(ControlId::meMask, WC_COMBOBOXW,
                   kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                   ControlId::tsMisc, 56, 11, 169, 120, L"");
  // Corrected by what the box measures: systems differ in the borders they add to the field.
  LRESULT field = SendMessageW(mask, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT box;
    GetWindowRect(mask, &box);
    const int missing = scale_(21) - (box.bottom - box.top);
    if (missing == 0)
      break;
    field += missing;
    SendMessageW(mask, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  }
  SendMessageW(mask, CB_SETITEMHEIGHT, 0, scale_(13));
  SetWindowTextW(mask, L"*.*");
  HWND group = Make(ControlId::gbFileMode, WC_BUTTONW, kGroupBox, ControlId::tsMisc, 8, 37, 441,
                    124, L"  Copy files if change  ");
  MakeContainer(group);
  const struct {
    ControlId box;
    int left, top, height;
    const wchar_t* text;
    bool checked;
  } boxes[] = {
      {ControlId::chSize, 10, 20, 17, L"Size", true},
      {ControlId::chDate, 10, 41, 17, L"Date - Time", true},
      {ControlId::chReadOnly, 186, 36, 17, L"ReadOnly flag", false},
      {ControlId::chHidden, 186, 53, 16, L"Hidden flag", false},
      {ControlId::chArchive, 186, 68, 17, L"Archive flag", false},
      {ControlId::chSystem, 186, 83, 17, L"System flag", false},
      {ControlId::chCompressed, 186, 100, 16, L"Compressed flag", false},
      {ControlId::chAttr, 168, 20, 17, L"File Attributes", false},
  };
  for (const auto& row : boxes) {
    HWND box_window = Make(row.box, WC_BUTTONW, kCheckBox, ControlId::gbFileMode, row.left, row.top,
                           97, row.height, row.text);
    SendMessageW(box_window, BM_SETCHECK, row.checked ? BST_CHECKED : BST_UNCHECKED, 0);
    // The five attribute boxes wait for "File Attributes".
    if (row.left == 186)
      EnableWindow(box_window, FALSE);
  }
}

void TfMain::BuildAboutPage() {
  HWND headline = Make(ControlId::Label6, WC_STATICW, kLabel, ControlId::tsAbout, 16, 8, 180, 19,
                       L"Parlowen  v 0.1b");
  SendMessageW(headline, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.headline), FALSE);
  FitLabel(headline, 0);
  Make(ControlId::Label7, WC_STATICW, kLabel, ControlId::tsAbout, 17, 28, 113, 13,
       L"\u00a9 Parlowen authors");
  Make(ControlId::Label8, WC_STATICW, kLabel, ControlId::tsAbout, 17, 44, 41, 13, L"support  ");
  // Its text, the contact, is the form's; a click on it is reported.
  Make(ControlId::Label9, WC_STATICW, kLabel | SS_NOTIFY, ControlId::tsAbout, 64, 44, 83, 13, L"");
}

void TfMain::CentreOnScreen() {
  RECT frame = {0, 0, scale_(kClientWidth), scale_(kClientHeight)};
  AdjustWindowRectEx(&frame, GetWindowLongW(window_, GWL_STYLE), FALSE,
                     GetWindowLongW(window_, GWL_EXSTYLE));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace wingui
