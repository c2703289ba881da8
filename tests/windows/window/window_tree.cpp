#include "tests/windows/window/window_tree.h"

#include <commctrl.h>

#include <vector>

#include "engine/platform/win32/win32_text.h"
#include "form/control_id.h"
#include "wingui/control_ids.h"

namespace window_tests {
namespace {

std::string ClassOf(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return platform::Utf8FromWide(name);
}

std::string TextOf(HWND window) {
  // WM_GETTEXT is carried between processes by the system.
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got =
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(got));
  return platform::Utf8FromWide(text);
}

std::string ParentName(HWND window, HWND main_window) {
  HWND parent = GetParent(window);
  if (parent == main_window)
    return "fMain";
  return NameOfId(GetDlgCtrlID(parent));
}

BOOL CALLBACK Collect(HWND window, LPARAM context) {
  reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

HWND ControlById(HWND main_window, form::ControlId id) {
  std::vector<HWND> windows;
  EnumChildWindows(main_window, Collect, reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows) {
    if (GetDlgCtrlID(window) == wingui::ControlIdOf(id))
      return window;
  }
  return nullptr;
}

}  // namespace

std::string NameOfId(int id) {
  for (size_t i = 0; i < form::kControlCount; ++i) {
    const auto control = static_cast<form::ControlId>(i);
    if (id == wingui::ControlIdOf(control))
      return form::ControlName(control);
    if (id == wingui::BrowseIdOf(control))
      return std::string(form::ControlName(control)) + ".browse";
  }
  return {};
}

HWND FindMainWindow() {
  return FindWindowW(wingui::kMainClass, wingui::kMainTitle);
}

HWND WaitForMainWindow(int seconds) {
  for (int tenth = 0; tenth < seconds * 10; ++tenth) {
    if (HWND window = FindMainWindow(); window && IsWindowVisible(window)) {
      DWORD process_id = 0;
      GetWindowThreadProcessId(window, &process_id);
      if (HANDLE process =
              OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, process_id)) {
        WaitForInputIdle(process, 10000);
        CloseHandle(process);
      }
      return window;
    }
    Sleep(100);
  }
  return nullptr;
}

std::map<std::string, ControlState> ReadControls(HWND main_window) {
  std::vector<HWND> windows;
  EnumChildWindows(main_window, Collect, reinterpret_cast<LPARAM>(&windows));
  std::map<std::string, ControlState> controls;
  for (HWND window : windows) {
    const std::string name = NameOfId(GetDlgCtrlID(window));
    if (name.empty())
      continue;  // a control's own parts, such as the edit inside the mask box
    ControlState state;
    state.name = name;
    state.window_class = ClassOf(window);
    state.parent = ParentName(window, main_window);
    GetWindowRect(window, &state.screen);
    state.rect = state.screen;
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&state.rect), 2);
    state.text = TextOf(window);
    state.visible = (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
    state.shown = IsWindowVisible(window) != FALSE;
    state.enabled = IsWindowEnabled(window) != FALSE;
    state.checked = SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
    controls[name] = state;
  }
  return controls;
}

std::string FocusedControl(HWND main_window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(main_window, nullptr), &info) || !info.hwndFocus) {
    return "(none)";
  }
  // The mask box's own edit holds the focus for it.
  for (HWND window = info.hwndFocus; window && window != main_window; window = GetParent(window)) {
    const std::string name = NameOfId(GetDlgCtrlID(window));
    if (!name.empty())
      return name;
  }
  return "(none)";
}

std::string TabText(HWND main_window, int index) {
  HWND tabs = ControlById(main_window, form::ControlId::pc);
  DWORD process_id = 0;
  GetWindowThreadProcessId(tabs, &process_id);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (!process)
    return "<no access>";
  // The tab control reads and writes the item in its own process's memory.
  constexpr int kChars = 256;
  const SIZE_T size = sizeof(TCITEMW) + kChars * sizeof(wchar_t);
  auto* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  std::string result = "<unreadable>";
  if (remote) {
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(TCITEMW));
    item.cchTextMax = kChars;
    std::vector<wchar_t> text(kChars, L'\0');
    if (WriteProcessMemory(process, remote, &item, sizeof(item), nullptr) &&
        SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(remote)) &&
        ReadProcessMemory(process, remote + sizeof(TCITEMW), text.data(), kChars * sizeof(wchar_t),
                          nullptr)) {
      text.back() = L'\0';
      result = platform::Utf8FromWide(text.data());
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return result;
}

int SelectedTab(HWND main_window) {
  return static_cast<int>(
      SendMessageW(ControlById(main_window, form::ControlId::pc), TCM_GETCURSEL, 0, 0));
}

int GaugePercent(HWND main_window) {
  return static_cast<int>(
      SendMessageW(ControlById(main_window, form::ControlId::pb), wingui::kGaugeGetPercent, 0, 0));
}

}  // namespace window_tests
