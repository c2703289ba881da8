// The window's side of a run: the status line, the gauge's percentage and the failures, as
// the run reports them. The run holds the window's thread, so every change is painted as it
// is made; the gauge is painted only when its percentage changes, since a large run steps it
// hundreds of thousands of times.
#pragma once

#include <cstdint>
#include <string>

#include "engine/progress_sink.h"
#include "form/form_view.h"

namespace form {

// The gauge's counts. Its minimum is 0; the progress is kept within the range. It outlives a
// run: the next run starts from this run's maximum until it knows its own total.
class Gauge {
 public:
  int64_t maximum() const { return maximum_; }
  int64_t progress() const { return progress_; }
  void SetMaximum(int64_t value);
  void SetProgress(int64_t value);
  // progress * 100 / maximum, truncated; 0 for an empty range.
  int Percent() const;

 private:
  int64_t maximum_ = 100;
  int64_t progress_ = 0;
};

class RunDisplay : public engine::ProgressSink {
 public:
  RunDisplay(FormView& view, Gauge& gauge) : view_(view), gauge_(gauge) {}

  void Start() override;
  void Status(const std::string& text) override;
  void Total(int64_t count) override;
  void Step() override;
  void Finish() override;
  void Failure(const std::string& text) override;

  int failures() const { return failures_; }
  // "2 operations of the run failed. The first:\n..." with the first failure named as on the
  // console's standard error; empty when nothing failed.
  std::string FailureSummary() const;

 private:
  void ShowPercentIfChanged();

  FormView& view_;
  Gauge& gauge_;
  int shown_percent_ = 0;
  int failures_ = 0;
  std::string first_failure_;
};

}  // namespace form
