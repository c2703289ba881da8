// The copy pass of a run: every listed file to every target in turn, the master last.
#pragma once

#include <string>
#include <vector>

#include "engine/copy_retries.h"
#include "engine/file_entry.h"
#include "engine/platform/file_system.h"
#include "engine/progress_sink.h"

namespace engine {

// `files` hold full source paths under `source_folder`; `targets` end with the master folder.
// Reports one Step and one "Copy " status per file and target, in that order, whatever runs
// ahead on other threads. Every destination copy is done and flushed to disk before the first
// master copy starts; a failed flush holds back every master copy. A copy that failed for a
// reason that may pass is tried again by `retry` once its target's other copies are done (a
// destination's before the flush); only its last try's failure is reported and holds back the
// master copy. Returns once the copies under way are done when the sink asks to stop after a
// status. At most `lanes` copies are under way at once.
void CopyFiles(platform::FileSystem& fs, const std::vector<std::string>& targets,
               const std::vector<FileEntry>& files, const std::string& source_folder,
               ProgressSink& sink, int lanes, RetryRule retry = {});

// How many copies a run has under way at once: `parallel` when the user set it (above 0; at
// most kMostLanes), else one per processor as the file system says, and kLanesPerNetwork more
// for each destination on another machine, where a copy mostly waits for the network's round
// trips. Always 1 where the file system allows no more (the dry run).
inline constexpr int kMostLanes = 64;
inline constexpr int kLanesPerNetwork = 4;
int CopyLanesFor(platform::FileSystem& fs, const std::vector<std::string>& targets, int parallel);

}  // namespace engine
