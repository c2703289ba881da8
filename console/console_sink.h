// The console form of the progress sink: status texts as lines on standard output, failures
// and tries again as lines on standard error, and with "--progress" a line at the foot of the
// terminal. A failed output line writes the failure report and stops the run; the program then
// ends with exit code 1.
#pragma once

#include "console/progress_line.h"
#include "console/std_output.h"
#include "engine/progress_sink.h"

namespace console {

class ConsoleSink : public engine::ProgressSink {
 public:
  // `progress`, when given, is drawn on standard error, which must be a terminal.
  explicit ConsoleSink(StdOutput& out, ProgressLine* progress = nullptr)
      : out_(out), progress_(progress) {}
  // A run that ends without Finish leaves no half line behind.
  ~ConsoleSink() override;

  void Start() override {}
  void Status(const std::string& text) override;
  void Total(int64_t count) override;
  void Step() override;
  void Finish() override;
  void Failure(const std::string& text) override;
  void Retry(const std::string& text) override;
  void TotalSize(uint64_t bytes) override;
  void StepSize(uint64_t bytes) override;
  bool StopRequested() const override { return stopped_; }

  int failures() const { return failures_; }

 private:
  void PrintError(const std::string& text);

  StdOutput& out_;
  ProgressLine* progress_;
  int failures_ = 0;
  bool stopped_ = false;  // the output failed and the report is written; nothing follows it
};

}  // namespace console
