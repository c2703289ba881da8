#include "engine/copy_retries.h"

#include <utility>

namespace engine {

bool CopyRetries::Keep(size_t copy, const platform::IoResult& failure) {
  if (!enabled() || !failure.may_pass)
    return false;
  kept_.push_back({copy, failure.message});
  return true;
}

void CopyRetries::TryAgain(
    CopyLanes& lanes, ProgressSink& sink, const std::function<CopyJob(size_t copy)>& job_of,
    const std::function<void(size_t copy, const CopyOutcome& outcome)>& settle) {
  for (int round = 1; round <= rule_.retries && !kept_.empty(); ++round) {
    const std::string wait =
        rule_.wait_seconds > 0 ? " in " + std::to_string(rule_.wait_seconds) + " s" : "";
    for (const Kept& kept : kept_) {
      sink.Retry("retry " + std::to_string(round) + " of " + std::to_string(rule_.retries) + wait +
                 ": " + kept.failure);
    }
    sink.Wait(rule_.wait_seconds);
    if (sink.StopRequested()) {
      kept_.clear();
      return;
    }
    for (const Kept& kept : kept_) lanes.Queue(kept.copy, job_of(kept.copy));
    std::vector<Kept> again;
    for (Kept& kept : kept_) {
      const CopyOutcome outcome = lanes.Take(kept.copy);
      if (!outcome.result.ok() && outcome.result.may_pass && round < rule_.retries) {
        again.push_back({kept.copy, outcome.result.message});
      } else {
        settle(kept.copy, outcome);
      }
    }
    kept_ = std::move(again);
  }
}

}  // namespace engine
