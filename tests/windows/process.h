// Starting a Windows program from a whole command line, as a shell or a scheduler does, with
// its standard output and error in files, and reading back what it printed and how it ended.
#pragma once

#include <string>

namespace windows_tests {

enum class StdOut {
  kFile,        // a file, read back into `out`
  kClosedPipe,  // a pipe whose reading end is already closed
  kNone,        // no standard output at all
  kConsole,     // the caller's console, for standard output and standard error alike
};

enum class StdErr {
  kFile,   // a file, read back into `err`
  kNone,   // no standard error at all
  kStale,  // a handle value that names nothing in the program
};

struct ProcessResult {
  unsigned long exit_code = 0xFFFFFFFF;
  std::string out;
  std::string err;
};

// Runs `command_line` in `working_folder` (both UTF-8); the output files go to `output_folder`.
ProcessResult RunCommandLine(const std::string& command_line, const std::string& working_folder,
                             const std::string& output_folder, StdOut std_out = StdOut::kFile,
                             StdErr std_err = StdErr::kFile);

// A program held at a moment by its own output: its standard output is a pipe of one page
// that the test reads only as far as it asks, so the program stops in a write soon after;
// standard error goes to a file.
class PipedProcess {
 public:
  PipedProcess(const std::string& command_line, const std::string& working_folder,
               const std::string& output_folder);
  PipedProcess(const PipedProcess&) = delete;
  PipedProcess& operator=(const PipedProcess&) = delete;
  ~PipedProcess();

  // Reads until the output read so far holds `text` `count` times; false when the output ends
  // first.
  bool ReadUntil(const std::string& text, int count);
  // Reads the rest of the output and waits for the program's end.
  ProcessResult Finish();

 private:
  void* process_ = nullptr;
  void* reader_ = nullptr;
  std::string err_path_;
  std::string out_;
};

// The full path of parlocon.exe, which the build puts beside the test program.
std::string ParloconExe();

}  // namespace windows_tests
