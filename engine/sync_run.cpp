#include "engine/sync_run.h"

#include "engine/copy_files.h"
#include "engine/folders_there.h"
#include "engine/force_folder.h"
#include "engine/load_options.h"
#include "engine/scan_folder.h"
#include "engine/served_targets.h"
#include "engine/sync_paths.h"

namespace engine {

TOptionSync Options;
std::vector<std::string> SubFolders;
std::vector<std::string> Targets;
std::vector<FileEntry> CopyList;

namespace {

void CreateSubfolders(platform::FileSystem& fs, const std::vector<std::string>& targets,
                      const std::vector<std::string>& sub_folders,
                      const std::vector<char>& in_master, ProgressSink& sink) {
  const std::vector<char> there = FoldersThere(fs, targets, sub_folders, in_master);
  std::string path;
  size_t k = 0;
  for (const std::string& target : targets) {
    if (target.empty()) {  // an empty target receives nothing
      k += sub_folders.size();
      continue;
    }
    for (const std::string& sub : sub_folders) {
      if (sink.StopRequested())
        return;
      if (there[k++])
        continue;
      path.assign(target).append(sub);
      platform::IoResult failure;
      if (!ForceFolder(fs, path, &failure))
        sink.Failure(failure.message);
    }
  }
}

uint64_t TotalBytes(const std::vector<FileEntry>& files) {
  uint64_t bytes = 0;
  for (const FileEntry& file : files) bytes += FullSize(file);
  return bytes;
}

}  // namespace

void RunSync(const std::string& settings_path, ProgressSink& sink) {
  RunSync(platform::DefaultFileSystem(), settings_path, sink);
}

void RunSync(platform::FileSystem& fs, const std::string& settings_path, ProgressSink& sink) {
  RunSync(fs, settings_path, OptionOverrides(), sink);
}

void RunSync(platform::FileSystem& fs, const std::string& settings_path,
             const OptionOverrides& overrides, ProgressSink& sink) {
  fs.BeginRun();
  TOptionSync loaded;
  LoadOptions(fs, settings_path, loaded);
  ApplyOverrides(overrides, loaded);
  Options = loaded;
  sink.Start();
  SubFolders.clear();
  Targets = SplitTargets(Options.DestFolder);
  Targets.push_back(Options.MasterFolder);
  sink.Status(kScanStatus);
  CopyList.clear();
  if (sink.StopRequested())
    return;
  ServedTargets served(Targets);
  std::vector<char> in_master;  // which SubFolders the master held at the scan
  if (Options.SourceFolder.empty()) {
    sink.Failure("no source folder is set: nothing to copy");
  } else {
    served.Compare(fs, Options.SourceFolder, sink);
    ScanResult found = ScanFolder(fs, Options, served.ids(), sink);
    SubFolders = std::move(found.sub_folders);
    in_master = std::move(found.in_master);
    CopyList = std::move(found.copy_list);
  }
  if (sink.StopRequested())
    return;
  sink.TotalSize(TotalBytes(CopyList) * Targets.size());
  sink.Total(static_cast<int64_t>(Targets.size() * CopyList.size()));
  CreateSubfolders(fs, served.served(), SubFolders, in_master, sink);
  if (sink.StopRequested())
    return;
  // A target the folder pass has just made may turn out to be another one, or the source.
  if (!CopyList.empty() && served.some_unknown())
    served.Compare(fs, Options.SourceFolder, sink);
  const int lanes = CopyLanesFor(fs, served.served(), Options.Parallel);
  CopyFiles(fs, served.served(), CopyList, Options.SourceFolder, sink, lanes,
            RetryRule{Options.Retries, Options.RetryWait});
  if (sink.StopRequested())
    return;
  sink.Finish();
}

}  // namespace engine
