#include "gui/progress_gauge.h"

#include <algorithm>

#include <QPainter>

namespace gui {
namespace {

QColor Inverted(const QColor& color) {
  return QColor(255 - color.red(), 255 - color.green(), 255 - color.blue());
}

}  // namespace

ProgressGauge::ProgressGauge(QWidget* parent) : QWidget(parent) {
  // No opaque-paint attribute: a gauge that was just shown must be painted by a synchronous
  // repaint during a run.
  setFocusPolicy(Qt::NoFocus);
}

void ProgressGauge::SetPercent(int percent) {
  percent_ = std::clamp(percent, 0, 100);
  if (isVisible())
    repaint();
}

void ProgressGauge::SetForeColor(const QColor& color) {
  fore_ = color;
  update();
}

void ProgressGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect inner = rect().adjusted(1, 1, -1, -1);
  const int bar_width = inner.width() * percent_ / 100;
  const QRect bar(inner.left(), inner.top(), bar_width, inner.height());
  const QRect rest(inner.left() + bar_width, inner.top(), inner.width() - bar_width,
                   inner.height());

  painter.setPen(Qt::black);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.fillRect(bar, fore_);
  painter.fillRect(rest, Qt::white);

  const QString text = QString::number(percent_) + '%';
  painter.setFont(font());
  painter.setClipRect(rest);
  painter.setPen(Inverted(Qt::white));
  painter.drawText(inner, Qt::AlignCenter, text);
  painter.setClipRect(bar);
  painter.setPen(Inverted(fore_));
  painter.drawText(inner, Qt::AlignCenter, text);
}

}  // namespace gui
