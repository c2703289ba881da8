#include "form/run_display.h"

#include <algorithm>
#include <limits>

#include "engine/message_text.h"

namespace form {

void Gauge::SetMaximum(int64_t value) {
  maximum_ = std::max<int64_t>(value, 0);
  progress_ = std::clamp<int64_t>(progress_, 0, maximum_);
}

void Gauge::SetProgress(int64_t value) {
  progress_ = std::clamp<int64_t>(value, 0, maximum_);
}

int Gauge::Percent() const {
  if (maximum_ == 0)
    return 0;
  if (maximum_ <= std::numeric_limits<int64_t>::max() / 100)
    return static_cast<int>(progress_ * 100 / maximum_);
  return static_cast<int>(progress_ / (maximum_ / 100));  // beyond any real file count
}

void RunDisplay::Start() {
  view_.ShowRunDisplay(true);
  gauge_.SetProgress(0);  // the maximum stays the last run's until Total
  // The gauge was just shown and must be painted; the status line waits for its first text.
  shown_percent_ = gauge_.Percent();
  view_.ShowPercent(shown_percent_);
}

void RunDisplay::Status(const std::string& text) {
  view_.ShowStatus(text);
}

void RunDisplay::Total(int64_t count) {
  gauge_.SetMaximum(count);
  ShowPercentIfChanged();
}

void RunDisplay::Step() {
  gauge_.SetProgress(gauge_.progress() + 1);
  ShowPercentIfChanged();
}

void RunDisplay::Finish() {
  view_.ShowRunDisplay(false);
}

void RunDisplay::Failure(const std::string& text) {
  // Only the first is named; a run over a large tree may fail thousands of times.
  if (failures_++ == 0)
    first_failure_ = text;
}

std::string RunDisplay::FailureSummary() const {
  if (failures_ == 0)
    return {};
  // A line feed in a name must not look like two lines of the box.
  const std::string first = engine::QuoteControlBytes(first_failure_);
  if (failures_ == 1)
    return "1 operation of the run failed:\n" + first;
  return std::to_string(failures_) + " operations of the run failed. The first:\n" + first;
}

void RunDisplay::ShowPercentIfChanged() {
  const int percent = gauge_.Percent();
  if (percent == shown_percent_)
    return;
  shown_percent_ = percent;
  view_.ShowPercent(percent);
}

}  // namespace form
