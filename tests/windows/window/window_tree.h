// parlowin.exe's window as another program sees it: every control read back from the window
// itself (class, parent, place, text, states) and the focus, through the system's messages.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace window_tests {

struct ControlState {
  std::string name;  // the control's name ("meSource"), "meSource.browse" for its button
  std::string window_class;
  std::string parent;    // the parent's name, "fMain" for the window itself
  RECT rect = {};        // in the parent's client area
  RECT screen = {};      // on the screen
  std::string text;      // UTF-8
  bool visible = false;  // the control's own visible flag, not its parents'
  bool shown = false;    // visible with every parent
  bool enabled = false;
  bool checked = false;
};

// The name a control's identifier stands for; empty for an identifier of none.
std::string NameOfId(int id);

// The window titled "Parlowen" of class TfMain, or null.
HWND FindMainWindow();
// Waits until the window is there and ready for input; null after `seconds`.
HWND WaitForMainWindow(int seconds);

// Every control of the window by name.
std::map<std::string, ControlState> ReadControls(HWND main_window);

// The name of the control with the keyboard focus in the window's thread ("(none)" without).
std::string FocusedControl(HWND main_window);

// The tab captions, the index of the page shown, and the gauge's percentage.
std::string TabText(HWND main_window, int index);
int SelectedTab(HWND main_window);
int GaugePercent(HWND main_window);

}  // namespace window_tests
