#include "engine/progress_sink.h"

#include <chrono>
#include <thread>

namespace engine {

void ProgressSink::Wait(int seconds) {
  using Clock = std::chrono::steady_clock;
  // In short naps, so a sink that wants the run to end is not kept waiting.
  const Clock::time_point end = Clock::now() + std::chrono::seconds(seconds);
  while (!StopRequested()) {
    const Clock::time_point now = Clock::now();
    if (now >= end)
      return;
    std::this_thread::sleep_for(
        std::min<Clock::duration>(end - now, std::chrono::milliseconds(100)));
  }
}

}  // namespace engine
