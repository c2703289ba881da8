// Copies that failed for a reason that may pass (a lock, a busy file, a full disk, a network
// file system's hiccup), tried again once the rest of their target's copies are done: after a
// wait, round after round, up to the number of tries the settings allow. A reason that cannot
// pass (no permission, a folder in the way, a source that changed) is never tried again.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "engine/copy_lanes.h"
#include "engine/platform/file_system.h"
#include "engine/progress_sink.h"

namespace engine {

struct RetryRule {
  int retries = 0;       // rounds of tries again; 0: a failure is final at once
  int wait_seconds = 5;  // before each round
};

class CopyRetries {
 public:
  explicit CopyRetries(RetryRule rule) : rule_(rule) {}

  bool enabled() const { return rule_.retries > 0; }
  // Keeps copy number `copy` for another try when its failure may pass; false when the
  // failure is final.
  bool Keep(size_t copy, const platform::IoResult& failure);

  // Tries every kept copy again: each round says "retry N of M" for each, waits, then copies
  // them through `lanes`, which must have nothing else queued. `job_of` gives a copy number's
  // job; `settle` takes each kept copy's final outcome (made, failed for good, or still failing
  // after the last round), in the order they were kept. Returns without settling the rest once
  // the sink asks to stop.
  void TryAgain(CopyLanes& lanes, ProgressSink& sink,
                const std::function<CopyJob(size_t copy)>& job_of,
                const std::function<void(size_t copy, const CopyOutcome& outcome)>& settle);

 private:
  struct Kept {
    size_t copy;
    std::string failure;  // the latest try's message
  };

  RetryRule rule_;
  std::vector<Kept> kept_;
};

}  // namespace engine
