// The report with which the console program ends when it cannot go on.
#pragma once

#include <string>

namespace console {

// The message for a failed output operation, by the OS's code: "Disk full", "I/O error 32", ...
std::string OutputErrorMessage(int error);

// "Exception <kind> in module parlocon[.exe] at 00000000." LF, then the message with a full stop.
std::string FailureReport(const std::string& kind, const std::string& message);

// Writes the report to standard output, or to standard error when that fails too.
void WriteFailureReport(const std::string& report);

}  // namespace console
