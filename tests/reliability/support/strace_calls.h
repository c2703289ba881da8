// System calls read back from a trace of `strace -f -y`, for tests of the order in which a run
// (or a server serving it) gives names and flushes.
#pragma once

#include <string>
#include <vector>

namespace reliability {

inline constexpr char kStrace[] = "/usr/bin/strace";

// One system call from the trace, with the lines of the trace where it started and ended.
struct Call {
  std::string name;
  std::string path;  // the name given (rename, link), or the file or folder flushed (fsync, syncfs)
  int start = 0;
  int end = 0;
  bool ok = false;
};

// Reads strace -f -y output, joining calls that other threads' lines interrupted.
std::vector<Call> ReadTrace(const std::string& file);

// Why strace cannot be used here, or empty when it can.
std::string StraceUnavailable();

}  // namespace reliability
