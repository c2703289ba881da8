#include "engine/sync_run.h"

#include "engine/copy_files.h"
#include "engine/force_folder.h"
#include "engine/load_options.h"
#include "engine/scan_folder.h"
#include "engine/sync_paths.h"

namespace engine {

TOptionSync Options;
std::vector<std::string> SubFolders;
std::vector<std::string> Targets;
std::vector<FileEntry> CopyList;

namespace {

std::vector<platform::FolderId> TargetIds(platform::FileSystem& fs) {
  std::vector<platform::FolderId> ids;
  for (const std::string& target : Targets) {
    platform::FolderId id;
    if (!target.empty() && fs.GetFolderId(target, &id).ok()) ids.push_back(id);
  }
  return ids;
}

void CreateSubfolders(platform::FileSystem& fs, ProgressSink& sink) {
  std::string path;
  for (const std::string& target : Targets) {
    if (target.empty()) continue;  // an empty target receives nothing
    for (const std::string& sub : SubFolders) {
      path.assign(target).append(sub);
      platform::IoResult failure;
      if (!ForceFolder(fs, path, &failure)) sink.Failure(failure.message);
    }
  }
}

}  // namespace

void RunSync(const std::string& settings_path, ProgressSink& sink) {
  RunSync(platform::DefaultFileSystem(), settings_path, sink);
}

void RunSync(platform::FileSystem& fs, const std::string& settings_path, ProgressSink& sink) {
  fs.BeginRun();
  TOptionSync loaded;
  LoadOptions(fs, settings_path, loaded);
  Options = loaded;
  sink.Start();
  SubFolders.clear();
  Targets = SplitTargets(Options.DestFolder);
  Targets.push_back(Options.MasterFolder);
  sink.Status(kScanStatus);
  CopyList.clear();
  if (Options.SourceFolder.empty()) {
    sink.Failure("no source folder is set: nothing to copy");
  } else {
    ScanFolder(fs, Options.SourceFolder, Options.Mask, TargetIds(fs), sink);
  }
  sink.Total(static_cast<int64_t>(Targets.size() * CopyList.size()));
  CreateSubfolders(fs, sink);
  CopyFiles(fs, Targets, CopyList, Options.SourceFolder, sink);
  sink.Finish();
}

}  // namespace engine
