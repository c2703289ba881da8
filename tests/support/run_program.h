// Runs a program and captures what it printed and how it ended.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct ProgramResult {
  int exit_code = -1;  // -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Where the program's standard output goes.
enum class StdoutTo {
  kCapture,        // a pipe read into ProgramResult::out
  kClosedPipe,     // a pipe whose reader has gone before the program starts
  kFullDevice,     // /dev/full: every write fails for lack of space
  kFile,           // the file RunOptions::stdout_file, created or truncated
  kNone,           // no standard output at all: descriptor 1 is closed
  kErrorTerminal,  // the pseudo-terminal of standard error (RunOptions::stderr_terminal)
};

struct RunOptions {
  std::string working_folder;  // the current one when empty
  StdoutTo stdout_to = StdoutTo::kCapture;
  std::string stdout_file;
  bool as_nobody = false;  // drop to user nobody, group nogroup, no other groups
  // Standard error is a pseudo-terminal, read into ProgramResult::err as a terminal shows it
  // the bytes (its own line ends: LF written as CR LF).
  bool stderr_terminal = false;
};

// Runs `argv` in `working_folder` (the current one when empty) with standard input closed.
ProgramResult RunProgram(const std::vector<std::string>& argv,
                         const std::string& working_folder = "");
ProgramResult RunProgram(const std::vector<std::string>& argv, const RunOptions& options);

// True when this process may start programs as user nobody (it runs as root and nobody exists).
bool CanRunAsNobody();

}  // namespace testing_support
