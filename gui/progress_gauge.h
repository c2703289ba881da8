// A horizontal gauge: black one-pixel frame, the bar in the fore colour over white, and the
// percentage done centred in it, drawn inverted against whatever lies beneath each letter.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace gui {

class ProgressGauge : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressGauge(QWidget* parent = nullptr);

  qint64 minimum() const { return minimum_; }
  qint64 maximum() const { return maximum_; }
  qint64 progress() const { return progress_; }
  QColor foreColor() const { return fore_; }

  // The progress is kept within the range. Each repaints at once when the percentage changes,
  // so the gauge moves while the caller holds the event loop.
  void SetMinimum(qint64 value);
  void SetMaximum(qint64 value);
  void SetProgress(qint64 value);
  void SetForeColor(const QColor& color);

  // (progress - minimum) * 100 / (maximum - minimum), truncated; 0 for an empty range.
  int Percent() const;
  QString PercentText() const { return QString::number(Percent()) + '%'; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Changed(int old_percent);

  qint64 minimum_ = 0;
  qint64 maximum_ = 100;
  qint64 progress_ = 0;
  QColor fore_{0, 0, 128};
};

}  // namespace gui
