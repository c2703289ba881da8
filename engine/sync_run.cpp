#include "engine/sync_run.h"

#include "engine/force_folder.h"
#include "engine/load_options.h"
#include "engine/platform/path_rules.h"
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

std::string_view FolderOf(std::string_view path) {
  return path.substr(0, path.rfind(platform::kPathSeparator));
}

void CopyFiles(platform::FileSystem& fs, ProgressSink& sink) {
  // A file that failed to reach a destination is held back from the master, so the next run
  // finds it changed again and retries every target.
  std::vector<bool> failed(CopyList.size(), false);
  std::string destination, status, cleaned;
  for (size_t t = 0; t < Targets.size(); ++t) {
    const std::string& target = Targets[t];
    const bool is_master = t + 1 == Targets.size();
    cleaned.clear();
    for (size_t i = 0; i < CopyList.size(); ++i) {
      const std::string& source = CopyList[i].Name;
      if (!target.empty()) {
        // The relative path starts with a separator, so the destination has a doubled one
        // ("/d//a.txt"); the OS reads it as one.
        destination.assign(target)
            .append(1, platform::kPathSeparator)
            .append(RelativePath(source, Options.SourceFolder));
        if (is_master && failed[i]) {
          sink.Failure("master copy held back for " + source + ": not every destination received it");
        } else {
          std::string_view folder = FolderOf(destination);
          if (folder != cleaned) {
            cleaned.assign(folder);
            fs.RemoveStaleTemporaries(cleaned);
          }
          platform::IoResult copied = fs.CopyOver(source, destination);
          if (!copied.ok()) {
            failed[i] = true;
            sink.Failure(copied.message);
          }
        }
      }
      sink.Step();
      status.assign(kCopyStatusPrefix).append(source);
      sink.Status(status);
    }
  }
}

}  // namespace

void RunSync(const std::string& settings_path, ProgressSink& sink) {
  RunSync(platform::DefaultFileSystem(), settings_path, sink);
}

void RunSync(platform::FileSystem& fs, const std::string& settings_path, ProgressSink& sink) {
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
  CopyFiles(fs, sink);
  sink.Finish();
}

}  // namespace engine
