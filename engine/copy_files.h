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
// status.
void CopyFiles(platform::FileSystem& fs, const std::vector<std::string>& targets,
               const std::vector<FileEntry>& files, const std::string& source_folder,
               ProgressSink& sink, RetryRule retry = {});

}  // namespace engine
