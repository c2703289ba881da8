// Buttons that never take the focus: the flat "+" beside the destination field, whose edge
// shows only under the mouse, and the browse button inside a path field's right end. A click
// reaches the parent as BN_CLICKED, as from a system button.
#pragma once

#include <windows.h>

namespace wingui {

inline constexpr wchar_t kFlatButtonClass[] = L"ParlowenFlatButton";
// Style bit: a button face with three dots, always framed (the browse button).
inline constexpr DWORD kBrowseLook = 0x0001;

void RegisterFlatButtonClass(HINSTANCE instance);

}  // namespace wingui
