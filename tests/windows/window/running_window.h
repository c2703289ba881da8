// parlowin.exe started by a test and its window, closed through the title bar's close button
// when the test is done (which saves nothing).
#pragma once

#include <windows.h>

#include <string>

namespace window_tests {

class RunningWindow {
 public:
  // Starts parlowin.exe (beside the test program) with `arguments` and waits until its window
  // takes input; window() is null when it did not come.
  explicit RunningWindow(const std::string& arguments = "");
  RunningWindow(const RunningWindow&) = delete;
  RunningWindow& operator=(const RunningWindow&) = delete;
  ~RunningWindow();

  HWND window() const { return window_; }

 private:
  PROCESS_INFORMATION process_ = {};
  HWND window_ = nullptr;
};

// The full path of a program the build puts beside the test program.
std::string ProgramBeside(const std::string& name);

}  // namespace window_tests
