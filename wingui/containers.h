// Windows that hold other controls: the bottom strip's panel, the tab pages, and the tab
// control and group boxes, which the system's classes do not make containers. Each hands what
// its children report (commands, colour questions) on to its own parent, so the main window
// hears every control however deep it lies.
#pragma once

#include <windows.h>

namespace wingui {

inline constexpr wchar_t kPanelClass[] = L"ParlowenPanel";  // raised one-pixel bevel
inline constexpr wchar_t kPageClass[] = L"ParlowenPage";

void RegisterContainerClasses(HINSTANCE instance);

// Makes a system control (the tab control, a group box) pass its children's reports on, and
// paint its background in the face colour.
void MakeContainer(HWND control);

// The answer to a child's report that goes up: the parent's answer.
LRESULT ForwardToParent(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
bool IsReportFromChild(UINT message);

}  // namespace wingui
