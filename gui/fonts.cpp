#include "gui/fonts.h"

namespace gui {

QFont WindowFont() {
  QFont font;
  // DejaVu Sans is wider and clips the check boxes' texts, so Liberation Sans comes first.
  font.setFamilies(QStringList{"MS Sans Serif", "Liberation Sans", "Arimo", "DejaVu Sans"});
  font.setPixelSize(11);
  font.setWeight(QFont::Normal);
  return font;
}

QFont HeadlineFont() {
  QFont font;
  font.setFamilies(QStringList{"Arial", "Liberation Sans", "Arimo", "DejaVu Sans"});
  font.setPixelSize(16);
  font.setWeight(QFont::Bold);
  return font;
}

}  // namespace gui
