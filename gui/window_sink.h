// The window's side of a run: shows the status line and the gauge while the run holds the
// window's thread, repainting the bottom strip at once since no events are processed, and
// counts the run's failures for the box shown afterwards.
#pragma once

#include <string>

#include <QString>

#include "engine/progress_sink.h"

class QLabel;
class QWidget;

namespace gui {

class ProgressGauge;

class WindowSink : public engine::ProgressSink {
 public:
  // `status_limit`: the x in the strip where the buttons begin; the status line stops there.
  WindowSink(QWidget& strip, QLabel& status, ProgressGauge& gauge, int status_limit)
      : strip_(strip), status_(status), gauge_(gauge), status_limit_(status_limit) {}

  void Start() override;
  void Status(const std::string& text) override;
  void Total(int64_t count) override;
  void Step() override;
  void Finish() override;
  void Failure(const std::string& text) override;

  int failures() const { return failures_; }
  // "2 operations of the run failed. The first: ..."; empty when nothing failed.
  QString FailureSummary() const;

 private:
  QWidget& strip_;
  QLabel& status_;
  ProgressGauge& gauge_;
  int status_limit_;
  int failures_ = 0;
  std::string first_failure_;
};

}  // namespace gui
