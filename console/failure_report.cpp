#include "console/failure_report.h"

#include <unistd.h>

#include <cerrno>

namespace console {

std::string OutputErrorMessage(int error) {
  switch (error) {
    case ENOENT:
      return "File not found";
    case EMFILE:
      return "Too many open files";
    case EACCES:
    case EPERM:
      return "File access denied";
    case ENOSPC:
      return "Disk full";
    default:
      return "I/O error " + std::to_string(error);
  }
}

std::string FailureReport(const std::string& kind, const std::string& message) {
  std::string report = "Exception " + kind + " in module parlocon at 00000000.\n" + message;
  if (report.back() != '.') report += '.';
  report += '\n';
  return report;
}

void WriteFailureReport(const std::string& report) {
  if (write(STDOUT_FILENO, report.data(), report.size()) == static_cast<ssize_t>(report.size())) {
    return;
  }
  if (write(STDERR_FILENO, report.data(), report.size()) < 0) {
    // Nowhere left to say it; the exit code still tells.
  }
}

}  // namespace console
