// Application-wide look shared by the program and its tests: the classic style and the
// window's font, so dialogs and boxes match the window.
#pragma once

class QApplication;

namespace gui {

void SetUpApplication(QApplication& app);

}  // namespace gui
