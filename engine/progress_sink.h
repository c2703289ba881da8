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
// A sink may end the program inside any call; the run never holds anything that needs undoing.
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
};

}  // namespace engine
