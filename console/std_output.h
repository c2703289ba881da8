// Standard output as the console program delivers it: each line at once to a terminal; to a
// file or a pipe through a 128-byte buffer that is written out whenever it fills up.
#pragma once

#include <cstddef>
#include <string_view>

namespace console {

class StdOutput {
 public:
  explicit StdOutput(int fd);  // platform::kStdOutput or platform::kStdError

  // Adds one line ended by CR LF. Returns 0, or the OS's code of a write that failed meanwhile.
  int WriteLine(std::string_view text);
  // Writes out what the buffer holds; the result is 0 or the OS's code.
  int Flush();
  // Drops what the buffer holds, after a failure has made it useless.
  void Discard() { used_ = 0; }
  // True when every line is written the moment it is added (a terminal or console).
  bool immediate() const { return immediate_; }

  static constexpr size_t kBufferSize = 128;

 private:
  int Append(std::string_view bytes);

  int fd_;
  bool immediate_;
  int missing_ = 0;  // the OS's code when the stream was missing at the start
  char buffer_[kBufferSize];
  size_t used_ = 0;
};

}  // namespace console
