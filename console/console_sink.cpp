#include "console/console_sink.h"

#include "console/failure_report.h"
#include "engine/message_text.h"
#include "engine/platform/std_streams.h"

namespace console {

void ConsoleSink::Status(const std::string& text) {
  if (stopped_)
    return;
  int err = out_.WriteLine(text);
  if (err == 0) return;
  // The run must do no further work once its output is lost.
  out_.Discard();
  WriteFailureReport(FailureReport("EInOutError", OutputErrorMessage(err)));
  stopped_ = true;
}

void ConsoleSink::Failure(const std::string& text) {
  if (stopped_)
    return;  // the report is the last thing written
  ++failures_;
  // One line per failure, whatever bytes the names in it hold.
  std::string line = "parlocon: " + engine::QuoteControlBytes(text) + "\n";
  // When standard error is gone too, the exit code still reports the failure.
  platform::WriteStream(platform::kStdError, line);
}

}  // namespace console
