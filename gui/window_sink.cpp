#include "gui/window_sink.h"

#include <QLabel>

#include "engine/message_text.h"
#include "gui/progress_gauge.h"
#include "gui/tf_main.h"

namespace gui {

void WindowSink::Start() {
  status_.show();
  gauge_.show();
  gauge_.SetProgress(0);  // the maximum stays the last run's until Total
  // Paints the gauge just shown. The status line waits for its first text: its layout text
  // is never to be seen.
  gauge_.repaint();
}

void WindowSink::Status(const std::string& text) {
  SetCaption(&status_, QString::fromStdString(text));
  // What would lie beneath the buttons is never seen. Stopping the line short of them keeps
  // the repaint off the buttons, which halves its cost: a run repaints once per copy.
  if (status_.geometry().right() >= status_limit_) {
    status_.resize(status_limit_ - status_.x(), status_.height());
  }
  // Qt paints the area a shorter text uncovers in the same pass.
  strip_.repaint(status_.geometry());
}

void WindowSink::Total(int64_t count) {
  gauge_.SetMaximum(count);
}

void WindowSink::Step() {
  gauge_.SetProgress(gauge_.progress() + 1);
}

void WindowSink::Finish() {
  status_.hide();
  gauge_.hide();
}

void WindowSink::Failure(const std::string& text) {
  // Only the first is shown; a run over a large tree may fail thousands of times.
  if (failures_++ == 0)
    first_failure_ = text;
}

QString WindowSink::FailureSummary() const {
  if (failures_ == 0)
    return {};
  // Named as on the console's standard error: a line feed in a name must not look like two
  // lines of the box.
  const QString first = QString::fromStdString(engine::QuoteControlBytes(first_failure_));
  if (failures_ == 1)
    return "1 operation of the run failed:\n" + first;
  return QString("%1 operations of the run failed. The first:\n%2").arg(failures_).arg(first);
}

}  // namespace gui
