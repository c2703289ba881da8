// One synchronisation run: read the settings, scan the source, create the source's subfolders
// under every target, then copy every new or changed file to every target, the master last.
#pragma once

#include <string>
#include <vector>

#include "engine/file_entry.h"
#include "engine/option_overrides.h"
#include "engine/option_sync.h"
#include "engine/platform/file_system.h"
#include "engine/progress_sink.h"

namespace engine {

// The state of the latest run, for callers to read once RunSync has returned (the console
// counts CopyList for its summary). Only RunSync writes it, on the thread that called it:
// Options and Targets as the run starts, SubFolders and CopyList once the scan is done; the
// rest of the run is handed what it needs, and the copy threads never touch it. The window
// also writes Options when it loads a settings file, on the thread that starts its runs.
extern TOptionSync Options;
extern std::vector<std::string> SubFolders;  // relative paths, a folder before its subfolders
extern std::vector<std::string> Targets;     // destinations in order, then the master folder
extern std::vector<FileEntry> CopyList;      // files to distribute; Name is the full source path

// Ends early, without Finish, when the sink asks it to stop.
void RunSync(const std::string& settings_path, ProgressSink& sink);
void RunSync(platform::FileSystem& fs, const std::string& settings_path, ProgressSink& sink);
// With the command line's changes to the settings file's options; Options holds the result.
void RunSync(platform::FileSystem& fs, const std::string& settings_path,
             const OptionOverrides& overrides, ProgressSink& sink);

}  // namespace engine
