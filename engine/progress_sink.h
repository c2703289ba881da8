// The one channel through which a run reports. The console prints status texts; the window
// drives its status label and gauge.
#pragma once

#include <cstdint>
#include <string>

namespace engine {

inline constexpr char kScanStatus[] = "Get list of files...";
inline constexpr char kCopyStatusPrefix[] = "Copy ";

// Moments in order: Start; Status(kScanStatus); TotalSize, Total; per copy StepSize, Step, then
// Status("Copy " + path); Finish. Failure may come at any point between Start and Finish, once
// per failed operation. Between a target's last copy and the next target's first, copies that
// failed for a reason that may pass are tried again: Retry for each, Wait, then the copies,
// round after round; they add no Step nor Status. A sink that can no longer report (the
// console's lost output) asks the run to stop instead.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void Start() = 0;
  virtual void Status(const std::string& text) = 0;
  virtual void Total(int64_t count) = 0;
  virtual void Step() = 0;
  virtual void Finish() = 0;
  // A folder that cannot be listed or created, a copy that failed, a master copy held back.
  // The text names the path(s) and the reason.
  virtual void Failure(const std::string& text) = 0;

  // A copy that failed for a reason that may pass is tried again after the wait: "retry 1 of
  // 3 in 5 s: copy <from> -> <to>: <reason>". Not a failure; the last try's failure is one.
  virtual void Retry(const std::string& text) { (void)text; }
  // The run waits before it tries again. Sleeps, and ends the wait early once StopRequested.
  virtual void Wait(int seconds);
  // For a display of bytes: those of every copy of the run (each file once per target), just
  // before Total, and those of the copy whose Step comes next.
  virtual void TotalSize(uint64_t bytes) { (void)bytes; }
  virtual void StepSize(uint64_t bytes) { (void)bytes; }

  // True once the sink wants the run to end early. The run asks after each status and before
  // each folder it scans or makes; once told, it starts nothing new, lets the copies under way
  // finish, and returns without Finish.
  virtual bool StopRequested() const { return false; }
};

}  // namespace engine
