// A progress sink that writes down every moment, for tests that check what a run reported.
#pragma once

#include <string>
#include <vector>

#include "engine/progress_sink.h"

namespace testing_support {

class RecordingSink : public engine::ProgressSink {
 public:
  void Start() override { events.push_back("Start"); }
  void Status(const std::string& text) override {
    events.push_back("Status " + text);
    ++statuses_;
  }
  void Total(int64_t count) override { events.push_back("Total " + std::to_string(count)); }
  void Step() override { events.push_back("Step"); }
  void Finish() override { events.push_back("Finish"); }
  void Failure(const std::string& text) override { failures.push_back(text); }
  bool StopRequested() const override {
    return stop_after_statuses > 0 && statuses_ >= stop_after_statuses;
  }

  std::vector<std::string> events;
  std::vector<std::string> failures;
  // Above 0: the sink asks the run to stop after that many statuses, as the console's does
  // when its output fails.
  int stop_after_statuses = 0;

 private:
  int statuses_ = 0;
};

}  // namespace testing_support
