#include "console/failure_report.h"

#include "engine/platform/std_streams.h"

namespace console {

std::string OutputErrorMessage(int error) {
  return platform::OutputErrorText(error);
}

std::string FailureReport(const std::string& kind, const std::string& message) {
  std::string report = "Exception " + kind + " in module parlocon" + platform::kProgramFileSuffix +
                       " at 00000000.\n" + message;
  if (report.back() != '.')
    report += '.';
  report += '\n';
  return report;
}

void WriteFailureReport(const std::string& report) {
  if (platform::WriteStream(platform::kStdOutput, report) == 0)
    return;
  // Nowhere left to say it when this fails too; the exit code still tells.
  platform::WriteStream(platform::kStdError, report);
}

}  // namespace console
