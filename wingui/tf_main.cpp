// The window's wiring: each control's event to the form's handler of that name, and the keys.
#include "wingui/tf_main.h"

#include <commctrl.h>

#include <exception>
#include <new>
#include <utility>

#include "form/path_texts.h"
#include "wingui/containers.h"
#include "wingui/control_ids.h"
#include "wingui/dialogs.h"
#include "wingui/flat_button.h"
#include "wingui/progress_gauge.h"

namespace wingui {

using form::ControlId;

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);

// The order Tab walks: the bottom strip, the tab strip, then the pages' controls. Hidden and
// disabled controls are passed over, so only the page shown counts.
constexpr ControlId kTabOrder[] = {
    ControlId::btExit,       ControlId::btStart,  ControlId::pc,        ControlId::meSource,
    ControlId::meMaster,     ControlId::meDest,   ControlId::chSyncSub, ControlId::chCreateSub,
    ControlId::cbINI,        ControlId::meMask,   ControlId::chSize,    ControlId::chDate,
    ControlId::chReadOnly,   ControlId::chHidden, ControlId::chArchive, ControlId::chSystem,
    ControlId::chCompressed, ControlId::chAttr,
};

constexpr ControlId kPathFields[] = {ControlId::meSource, ControlId::meMaster, ControlId::meDest,
                                     ControlId::cbINI};

}  // namespace

void RegisterWindowClasses(HINSTANCE instance) {
  RegisterContainerClasses(instance);
  RegisterFlatButtonClass(instance);
  RegisterGaugeClass(instance);
}

TfMain::TfMain(HINSTANCE instance, form::FormDialogs& dialogs, form::FormContext context)
    : instance_(instance),
      scale_(Scale::OfScreen()),
      fonts_(MakeWindowFonts(scale_)),
      form_(*this, dialogs, std::move(context)) {}

TfMain::~TfMain() {
  if (window_)
    DestroyWindow(window_);
  DeleteWindowFonts(fonts_);
}

HWND TfMain::Create(int show_command) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance_;
  window_class.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
  window_class.hIconSm = static_cast<HICON>(
      LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = kMainClass;
  RegisterClassExW(&window_class);

  // A dialog frame: fixed size, a close button only.
  CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kMainClass,
                  kMainTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                  CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance_, this);
  if (!window_)
    return nullptr;
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(window_class.hIcon));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(window_class.hIconSm));
  CentreOnScreen();
  BuildControls();
  form_.FormCreate();
  ShowWindow(window_, show_command);
  UpdateWindow(window_);
  Focus(ControlId::btExit);
  return window_;
}

LRESULT CALLBACK TfMain::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TfMain*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TfMain*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self)
    return DefWindowProcW(window, message, wparam, lparam);
  return self->Handle(window, message, wparam, lparam);
}

LRESULT TfMain::Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      Command(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->hwndFrom == Control(ControlId::pc) && header->code == TCN_SELCHANGE) {
        ShowPage(static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      HWND control = reinterpret_cast<HWND>(lparam);
      if (control == Control(ControlId::Label6)) {
        SetTextColor(dc, kNavy);
      } else if (control == Control(ControlId::Label9)) {
        SetTextColor(dc, kBlue);
      } else {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      }
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ACTIVATE:
      // The focus comes back where it was when the user returns to the window.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus))
          last_focus_ = focus;
      }
      break;
    case WM_SETFOCUS:
      SetFocus(last_focus_ && IsWindow(last_focus_) ? last_focus_ : Control(ControlId::btExit));
      return 0;
    case WM_CLOSE:
      // The title bar's close button saves nothing.
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      window_ = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void TfMain::Command(int id, int code) {
  const auto is = [id](ControlId control) { return id == ControlIdOf(control); };
  // A handler's failure is reported as the program reports failures, and the window goes on.
  try {
    // A label's STN_CLICKED has the same code as a button's BN_CLICKED.
    if (code == STN_CLICKED && is(ControlId::Label9)) {
      form_.Label9Click();
    } else if (code == BN_CLICKED) {
      if (is(ControlId::btStart)) {
        form_.btStartClick();
      } else if (is(ControlId::btExit)) {
        form_.btExitClick();
      } else if (is(ControlId::chSyncSub)) {
        form_.chSyncSubClick();
      } else if (is(ControlId::chAttr)) {
        form_.chAttrClick();
      } else if (is(ControlId::SpeedButton6)) {
        form_.SpeedButton6Click();
      } else {
        for (ControlId field : kPathFields) {
          if (id == BrowseIdOf(field))
            form_.BrowseClick(field);
        }
      }
    } else if (code == EN_CHANGE && is(ControlId::cbINI) && !setting_text_) {
      form_.cbINIChange();
    }
  } catch (const std::bad_alloc&) {
    MessageBoxW(window_, L"Out of memory.", L"Parlowin", MB_OK | MB_ICONERROR);
  } catch (const std::exception& e) {
    MessageBoxW(window_, Wide(form::WithFullStop(e.what())).c_str(), L"Parlowin",
                MB_OK | MB_ICONERROR);
  }
}

void TfMain::ShowPage(int index) {
  const ControlId pages[] = {ControlId::tsGeneral, ControlId::tsMisc, ControlId::tsAbout};
  for (int page = 0; page < 3; ++page) {
    ShowWindow(Control(pages[page]), page == index ? SW_SHOW : SW_HIDE);
  }
  SendMessageW(Control(ControlId::pc), TCM_SETCURSEL, index, 0);
}

bool TfMain::PathFieldOf(HWND window, ControlId* field) const {
  for (ControlId candidate : kPathFields) {
    if (window == Control(candidate)) {
      *field = candidate;
      return true;
    }
  }
  return false;
}

void TfMain::MoveFocus(bool forward) {
  constexpr int count = static_cast<int>(std::size(kTabOrder));
  HWND focus = GetFocus();
  int at = -1;
  for (int i = 0; i < count; ++i) {
    HWND control = Control(kTabOrder[i]);
    // An editable box's own edit holds the focus.
    if (focus == control || (focus && GetParent(focus) == control))
      at = i;
  }
  for (int step = 1; step <= count; ++step) {
    const int next = ((at < 0 ? (forward ? -1 : 0) : at) + (forward ? step : count - step)) % count;
    HWND control = Control(kTabOrder[next]);
    if (IsWindowVisible(control) && IsWindowEnabled(control)) {
      SetFocus(control);
      // A field reached by Tab shows its whole text selected, ready to be typed over.
      wchar_t name[16] = {};
      GetClassNameW(control, name, 16);
      if (lstrcmpiW(name, WC_EDITW) == 0) {
        SendMessageW(control, EM_SETSEL, 0, -1);
      } else if (lstrcmpiW(name, WC_COMBOBOXW) == 0) {
        SendMessageW(control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
      }
      return;
    }
  }
}

bool TfMain::HandleKey(const MSG& message) {
  if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd)))
    return false;
  const bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
  const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (message.message == WM_SYSKEYDOWN && message.wParam == VK_DOWN) {
    ControlId field;
    if (PathFieldOf(message.hwnd, &field)) {
      Command(BrowseIdOf(field), BN_CLICKED);
      return true;
    }
    return false;
  }
  if (message.message != WM_KEYDOWN || alt || control)
    return false;
  // An open list of the mask box takes Enter and Escape itself.
  HWND mask = Control(ControlId::meMask);
  if ((message.hwnd == mask || GetParent(message.hwnd) == mask) &&
      SendMessageW(mask, CB_GETDROPPEDSTATE, 0, 0)) {
    return false;
  }
  switch (message.wParam) {
    case VK_TAB:
      MoveFocus((GetKeyState(VK_SHIFT) & 0x8000) == 0);
      return true;
    case VK_RETURN:
      // Only the focused push button is pressed; there is no default button.
      if (message.hwnd == Control(ControlId::btStart) || message.hwnd == Control(ControlId::btExit))
        Command(GetDlgCtrlID(message.hwnd), BN_CLICKED);
      return true;
    case VK_ESCAPE:
      return true;  // there is no cancel button
  }
  return false;
}

}  // namespace wingui
