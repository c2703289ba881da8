// The window's fonts. The names the window was designed with are asked for first; where they
// are missing, a metric-compatible font follows, so the texts keep fitting their boxes.
#pragma once

#include <QFont>
#include <QStringList>

namespace gui {

// "MS Sans Serif", 11 pixels (8 points at 96 dpi), regular.
QFont WindowFont();
// "Arial", 16 pixels, bold: the About page's headline.
QFont HeadlineFont();

}  // namespace gui
