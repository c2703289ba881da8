// A progress sink that writes down every moment, for tests that check what a run reported.
#pragma once

#include <cstdint>
#include <functional>
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
    return stop_now || (stop_after_statuses > 0 && statuses_ >= stop_after_statuses);
  }
  void Retry(const std::string& text) override { events.push_back("Retry " + text); }
  // Never sleeps: the test decides what happens meanwhile.
  void Wait(int seconds) override {
    events.push_back("Wait " + std::to_string(seconds));
    if (while_waiting)
      while_waiting();
  }
  void TotalSize(uint64_t bytes) override { total_size = bytes; }
  void StepSize(uint64_t bytes) override { step_sizes.push_back(bytes); }

  std::vector<std::string> events;
  std::vector<std::string> failures;
  // Above 0: the sink asks the run to stop after that many statuses, as the console's does
  // when its output fails.
  int stop_after_statuses = 0;
  bool stop_now = false;                // the sink asks the run to stop from now on
  std::function<void()> while_waiting;  // runs in each Wait
  uint64_t total_size = 0;
  std::vector<uint64_t> step_sizes;

 private:
  int statuses_ = 0;
};

}  // namespace testing_support
