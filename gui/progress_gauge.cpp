#include "gui/progress_gauge.h"

#include <algorithm>
#include <limits>

#include <QPainter>

namespace gui {
namespace {

QColor Inverted(const QColor& color) {
  return QColor(255 - color.red(), 255 - color.green(), 255 - color.blue());
}

}  // namespace

ProgressGauge::ProgressGauge(QWidget* parent) : QWidget(parent) {
  // No opaque-paint attribute: a gauge that was just shown must be painted by its parent's
  // synchronous repaint during a run.
  setFocusPolicy(Qt::NoFocus);
}

void ProgressGauge::SetMinimum(qint64 value) {
  const int old = Percent();
  minimum_ = value;
  maximum_ = std::max(maximum_, minimum_);
  progress_ = std::clamp(progress_, minimum_, maximum_);
  Changed(old);
}

void ProgressGauge::SetMaximum(qint64 value) {
  const int old = Percent();
  maximum_ = std::max(value, minimum_);
  progress_ = std::clamp(progress_, minimum_, maximum_);
  Changed(old);
}

void ProgressGauge::SetProgress(qint64 value) {
  const int old = Percent();
  progress_ = std::clamp(value, minimum_, maximum_);
  Changed(old);
}

void ProgressGauge::SetForeColor(const QColor& color) {
  fore_ = color;
  update();
}

int ProgressGauge::Percent() const {
  if (maximum_ == minimum_)
    return 0;
  const qint64 range = maximum_ - minimum_;
  const qint64 done = progress_ - minimum_;
  if (range <= std::numeric_limits<qint64>::max() / 100)
    return static_cast<int>(done * 100 / range);
  return static_cast<int>(done / (range / 100));  // beyond any real file count
}

void ProgressGauge::Changed(int old_percent) {
  if (Percent() != old_percent && isVisible())
    repaint();
}

void ProgressGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect inner = rect().adjusted(1, 1, -1, -1);
  const int bar_width = inner.width() * Percent() / 100;
  const QRect bar(inner.left(), inner.top(), bar_width, inner.height());
  const QRect rest(inner.left() + bar_width, inner.top(), inner.width() - bar_width,
                   inner.height());

  painter.setPen(Qt::black);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.fillRect(bar, fore_);
  painter.fillRect(rest, Qt::white);

  const QString text = PercentText();
  painter.setFont(font());
  painter.setClipRect(rest);
  painter.setPen(Inverted(Qt::white));
  painter.drawText(inner, Qt::AlignCenter, text);
  painter.setClipRect(bar);
  painter.setPen(Inverted(fore_));
  painter.drawText(inner, Qt::AlignCenter, text);
}

}  // namespace gui
