// The scan of the source folder: lists subfolders and the files that the master lacks or that
// differ from the master's copy.
#pragma once

#include <string>
#include <vector>

#include "engine/platform/file_system.h"
#include "engine/progress_sink.h"

namespace engine {

// Scans `folder` (and its subfolders when Options.SyncSub is set), appending to SubFolders and
// CopyList. Never enters a folder listed in `skip` (the run's targets) nor one on its own
// descent path. Hidden subfolders are not scanned, and files named like temporary files are
// never listed. A folder that cannot be listed is reported.
void ScanFolder(platform::FileSystem& fs, const std::string& folder, const std::string& mask,
                const std::vector<platform::FolderId>& skip, ProgressSink& sink);

}  // namespace engine
