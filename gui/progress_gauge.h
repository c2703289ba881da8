// A horizontal gauge: black one-pixel frame, the bar in the fore colour over white, and the
// percentage centred in it, drawn inverted against whatever lies beneath each letter. What
// the percentage is, and when it changes, is the form's.
#pragma once

#include <QColor>
#include <QWidget>

namespace gui {

class ProgressGauge : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressGauge(QWidget* parent = nullptr);

  int percent() const { return percent_; }
  QColor foreColor() const { return fore_; }

  // Kept within 0 to 100, and painted at once where the gauge is visible, so it moves while
  // a run holds the event loop.
  void SetPercent(int percent);
  void SetForeColor(const QColor& color);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int percent_ = 0;
  QColor fore_{0, 0, 128};
};

}  // namespace gui
