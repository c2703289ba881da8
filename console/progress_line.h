// The line "--progress" keeps at the foot of a terminal while a run lasts: copies and bytes done
// of the run's, the rate, and the time left. It is rewritten in place ("\r", then blanks over
// whatever the new text does not cover), at most four times a second; another line meant for
// the same terminal clears it first and brings it back after.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace console {

struct ProgressFigures {
  int64_t copies_done = 0;
  int64_t copies_total = 0;  // each file once per target
  uint64_t bytes_done = 0;
  uint64_t bytes_total = 0;
  double seconds = 0;     // since the copies began
  bool finished = false;  // the run is over: the time it took instead of the time left
};

// "3/6 copies, 1.5 KiB/3.0 KiB, 2.0 KiB/s, 0:02 left": the rate and the time left once a
// second of copying has passed and something is done; "done in 0:04" instead of the time left
// when finished. Under 80 characters.
std::string ProgressText(const ProgressFigures& figures);

class ProgressLine {
 public:
  using Write = std::function<void(const std::string& bytes)>;
  using Clock = std::function<double()>;  // seconds from any start, never going back

  ProgressLine(Write write, Clock clock) : write_(std::move(write)), clock_(std::move(clock)) {}

  // The run's bytes, then its copies, whereupon the line appears at once.
  void TotalSize(uint64_t bytes) { figures_.bytes_total = bytes; }
  void Total(int64_t copies);
  void StepSize(uint64_t bytes) { step_bytes_ = bytes; }
  void Step();
  // Before another line on the terminal: blanks the line and leaves the cursor at its start.
  void Clear();
  // After that line: the line again, with the figures last drawn.
  void Show();
  // The final figures, and the line ended so that what follows starts below it.
  void Finish();

 private:
  void Draw();

  Write write_;
  Clock clock_;
  ProgressFigures figures_;
  uint64_t step_bytes_ = 0;
  double started_ = 0;
  double drawn_at_ = 0;
  std::string text_;     // as last drawn
  size_t shown_ = 0;     // characters of the line on the terminal now
  bool active_ = false;  // between Total and Finish
};

}  // namespace console
