#include "console/console_sink.h"

#include "console/failure_report.h"
#include "engine/message_text.h"
#include "engine/platform/std_streams.h"

namespace console {

ConsoleSink::~ConsoleSink() {
  if (progress_ != nullptr)
    progress_->Clear();
}

void ConsoleSink::Status(const std::string& text) {
  if (stopped_)
    return;
  // On a terminal the line appears at once: the progress line makes way and comes back below.
  const bool shared = progress_ != nullptr && out_.immediate();
  if (shared)
    progress_->Clear();
  int err = out_.WriteLine(text);
  if (err == 0) {
    if (shared)
      progress_->Show();
    return;
  }
  // The run must do no further work once its output is lost.
  out_.Discard();
  if (progress_ != nullptr) {
    progress_->Clear();
    progress_ = nullptr;
  }
  WriteFailureReport(FailureReport("EInOutError", OutputErrorMessage(err)));
  stopped_ = true;
}

void ConsoleSink::Total(int64_t count) {
  if (progress_ != nullptr && !stopped_)
    progress_->Total(count);
}

void ConsoleSink::TotalSize(uint64_t bytes) {
  if (progress_ != nullptr)
    progress_->TotalSize(bytes);
}

void ConsoleSink::StepSize(uint64_t bytes) {
  if (progress_ != nullptr)
    progress_->StepSize(bytes);
}

void ConsoleSink::Step() {
  if (progress_ != nullptr && !stopped_)
    progress_->Step();
}

void ConsoleSink::Finish() {
  if (progress_ != nullptr && !stopped_)
    progress_->Finish();
}

void ConsoleSink::Failure(const std::string& text) {
  if (stopped_)
    return;  // the report is the last thing written
  ++failures_;
  PrintError(text);
}

void ConsoleSink::Retry(const std::string& text) {
  if (!stopped_)
    PrintError(text);
}

void ConsoleSink::PrintError(const std::string& text) {
  // One line per message, whatever bytes the names in it hold.
  std::string line = "parlocon: " + engine::QuoteControlBytes(text) + "\n";
  if (progress_ != nullptr)
    progress_->Clear();
  // When standard error is gone too, the exit code still reports a failure.
  platform::WriteStream(platform::kStdError, line);
  if (progress_ != nullptr)
    progress_->Show();
}

}  // namespace console
