// Tells a shell script what parlowin.exe's window shows, for the tests that drive it with the
// keyboard from outside:
//   window_probe wait            waits for the window (30 s at most), exit 1 without it
//   window_probe focus [NAME]    the name of the focused control; with NAME, waits until the
//                                focus is there (the keys a script sent may still be on their
//                                way), exit 1 when it does not come
//   window_probe dump            one line per control: name, class, parent, rect, states, text
//   window_probe rect NAME       the control's rectangle on the screen: "left top right bottom"
//   window_probe close           closes the window as its title bar's close button does
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/windows/window/window_tree.h"

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  HWND window = window_tests::WaitForMainWindow(command == "wait" ? 30 : 5);
  if (!window) {
    std::printf("no window\n");
    return 1;
  }
  if (command == "wait")
    return 0;
  if (command == "close")
    return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  if (command == "focus") {
    std::string focus = window_tests::FocusedControl(window);
    // A guard against waiting for ever, not a time limit on the window.
    for (int tenth = 0; argc > 2 && focus != argv[2] && tenth < 300; ++tenth) {
      Sleep(100);
      focus = window_tests::FocusedControl(window);
    }
    std::printf("%s\n", focus.c_str());
    return argc > 2 && focus != argv[2] ? 1 : 0;
  }
  const auto controls = window_tests::ReadControls(window);
  if (command == "dump") {
    for (const auto& [name, c] : controls) {
      std::printf("%s %s %s %ld,%ld,%ld,%ld %s%s%s%s [%s]\n", name.c_str(), c.window_class.c_str(),
                  c.parent.c_str(), c.rect.left, c.rect.top, c.rect.right - c.rect.left,
                  c.rect.bottom - c.rect.top, c.visible ? "visible" : "hidden",
                  c.shown ? ",shown" : "", c.enabled ? "" : ",disabled",
                  c.checked ? ",checked" : "", c.text.c_str());
    }
    return 0;
  }
  if (command == "rect" && argc > 2) {
    const auto found = controls.find(argv[2]);
    if (found == controls.end())
      return 1;
    const RECT& rect = found->second.screen;
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
  }
  std::fprintf(stderr, "usage: window_probe wait|focus [NAME]|dump|rect NAME|close\n");
  return 64;
}
