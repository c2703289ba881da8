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

// Runs `argv` in `working_folder` (the current one when empty) with standard input closed.
ProgramResult RunProgram(const std::vector<std::string>& argv,
                         const std::string& working_folder = "");

}  // namespace testing_support
