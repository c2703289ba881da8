// The one channel through which a run reports. The console prints status texts; the window
// drives its status label and gauge.
#pragma once

#include <cstdint>
#include <string>

namespace engine {

inline constexpr char kScanStatus[] = "Get list of files...";
inline constexpr char kCopyStatusPrefix[] = "Copy ";

// Moments in order: Start; Status(kScanStatus); Total; per copy Step then Status("Copy " + path);
// Finish. Failure may come at any point between Start and Finish, once per failed operation.
// A sink that can no longer report (the console's lost output) asks the run to stop instead.
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

  // True once the sink wants the run to end early. The run asks after each status and before
  // each folder it scans or makes; once told, it starts nothing new, lets the copies under way
  // finish, and returns without Finish.
  virtual bool StopRequested() const { return false; }
};

}  // namespace engine
