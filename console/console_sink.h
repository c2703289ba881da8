// The console form of the progress sink: status texts as lines on standard output, failures
// as lines on standard error. A failed output line writes the failure report and stops the
// run; the program then ends with exit code 1.
#pragma once

#include "console/std_output.h"
#include "engine/progress_sink.h"

namespace console {

class ConsoleSink : public engine::ProgressSink {
 public:
  explicit ConsoleSink(StdOutput& out) : out_(out) {}

  void Start() override {}
  void Status(const std::string& text) override;
  void Total(int64_t) override {}
  void Step() override {}
  void Finish() override {}
  void Failure(const std::string& text) override;
  bool StopRequested() const override { return stopped_; }

  int failures() const { return failures_; }

 private:
  StdOutput& out_;
  int failures_ = 0;
  bool stopped_ = false;  // the output failed and the report is written; nothing follows it
};

}  // namespace console
