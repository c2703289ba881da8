// The child-window identifiers of the window's controls. Win32 controls have no names, so each
// control's identifier stands for its name: tools and tests find a control by it.
#pragma once

#include "form/control_id.h"

namespace wingui {

inline constexpr int kFirstControlId = 3000;
// The browse button inside a path field's right end.
inline constexpr int kFirstBrowseId = 3100;

constexpr int ControlIdOf(form::ControlId control) {
  return kFirstControlId + static_cast<int>(control);
}

constexpr int BrowseIdOf(form::ControlId field) {
  return kFirstBrowseId + static_cast<int>(field);
}

// The window class of the main window and its title.
inline constexpr wchar_t kMainClass[] = L"TfMain";
inline constexpr wchar_t kMainTitle[] = L"Parlowen";

// The gauge answers this with its percentage (0 to 100).
inline constexpr unsigned kGaugeGetPercent = 0x0400 + 2;  // WM_USER + 2

}  // namespace wingui
