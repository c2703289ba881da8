// The scan of the source folder: lists subfolders and the files that the master lacks or that
// differ from the master's copy.
#pragma once

#include <string>
#include <vector>

#include "engine/file_entry.h"
#include "engine/option_sync.h"
#include "engine/platform/file_system.h"
#include "engine/progress_sink.h"

namespace engine {

struct ScanResult {
  std::vector<std::string> sub_folders;  // relative paths, a folder before its subfolders
  // One per sub_folders entry: 1 where the master held that folder when the scan looked (links
  // followed), so the folder pass need not ask again. Empty when there is no master folder.
  std::vector<char> in_master;
  std::vector<FileEntry> copy_list;  // files to distribute; Name is the full source path
};

// Scans options.SourceFolder for files matching options.Mask, and its subfolders when
// options.SyncSub is set, comparing each file with the master's copy by the fl* switches (times
// by options.TimeTolerance and options.IgnoreHourShift). A file or subfolder whose name
// options.Exclude names is left out, a subfolder with everything below it.
// Never enters a folder listed in `skip` (the run's targets) nor one on its own descent path.
// Hidden subfolders are not scanned, and files named like temporary files are never listed.
// A folder that cannot be listed is reported. Folders are examined on as many threads as the
// file system allows (ParallelScans) and taken in the order of a walk down the tree, so the
// result and the reports are those of one thread. No further folder is listed once the sink
// asks the run to stop.
ScanResult ScanFolder(platform::FileSystem& fs, const TOptionSync& options,
                      const std::vector<platform::FolderId>& skip, ProgressSink& sink);

}  // namespace engine
