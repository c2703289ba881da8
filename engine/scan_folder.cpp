#include "engine/scan_folder.h"

#include <algorithm>
#include <memory>

#include "engine/exclusions.h"
#include "engine/platform/path_rules.h"
#include "engine/platform/temp_name.h"
#include "engine/scan_lanes.h"
#include "engine/sync_paths.h"
#include "engine/time_tolerance.h"

namespace engine {
namespace {

bool Contains(const std::vector<platform::FolderId>& ids, const platform::FolderId& id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool IsChanged(const TOptionSync& options, const FileEntry& source, const FileEntry* master) {
  if (master == nullptr)
    return true;
  return (options.flSize && master->Size != source.Size) ||
         (options.flDate &&
          !SameTime(master->Time, source.Time, options.TimeTolerance, options.IgnoreHourShift)) ||
         (options.flAttr && master->Attr != source.Attr);
}

// Which subfolders the scan enters, by their names and attributes alone.
bool EntersSubfolder(const platform::Subfolder& sub) {
  if (sub.attr & (kAttrHidden | kAttrSystem | kAttrVolume))
    return false;
  return sub.name != "." && sub.name != "..";
}

// Which listed files count as source files, by their names alone.
bool ListsFile(const FileEntry& file) {
  // A temporary file, maybe a copy still being written by a run that fills this folder.
  return !platform::IsTempName(file.Name);
}

struct ScanShared {
  platform::FileSystem& fs;
  const TOptionSync& options;
  const std::vector<platform::FolderId>& skip;
  const Exclusions excluded;
};

// One source folder: listed, its subfolders queued, its files compared with the master's.
// What it found waits here until the caller takes it in the order of the walk.
class FolderScan final : public ScanTask {
 public:
  FolderScan(const ScanShared& shared, std::string path, platform::FolderId id, bool known_id,
             const FolderScan* parent)
      : shared_(shared), path_(std::move(path)), id_(id), known_id_(known_id), parent_(parent) {}

  void Run(ScanLanes& lanes) override;

  const std::string& path() const { return path_; }
  bool listed = false;
  bool in_master = false;  // the master has this folder; the parent's lookup sets it
  std::vector<std::string> failures;
  std::vector<std::unique_ptr<FolderScan>> subfolders;  // to enter, in listing order
  std::vector<FileEntry> changed;                       // named by their full source paths

 private:
  // A link back to a folder above: never entered.
  bool OnDescentPath(const platform::FolderId& id) const {
    for (const FolderScan* up = this; up != nullptr; up = up->parent_) {
      if (up->known_id_ && up->id_ == id)
        return true;
    }
    return false;
  }
  void Compare(std::vector<FileEntry>& files, const std::vector<std::string>& folder_names);

  const ScanShared& shared_;
  const std::string path_;
  const platform::FolderId id_;
  const bool known_id_;
  const FolderScan* const parent_;
};

void FolderScan::Run(ScanLanes& lanes) {
  const TOptionSync& options = shared_.options;
  platform::FolderListing listing;
  platform::IoResult result = shared_.fs.ListFolder(path_, options.Mask, options.SyncSub, &listing);
  listed = true;
  if (!result.ok()) {
    failures.push_back(std::move(result.message));
    return;
  }
  failures = std::move(listing.failures);
  std::vector<std::string> entered;
  if (options.SyncSub) {
    std::string path;
    for (const platform::Subfolder& sub : listing.subfolders) {
      if (!EntersSubfolder(sub) || shared_.excluded.Excludes(sub.name))
        continue;
      // A target inside the source, or a link back to a folder above: never entered.
      if (Contains(shared_.skip, sub.id) || OnDescentPath(sub.id))
        continue;
      path.assign(path_).append(1, platform::kPathSeparator).append(sub.name);
      subfolders.push_back(std::make_unique<FolderScan>(shared_, path, sub.id, true, this));
      entered.push_back(sub.name);
    }
    // Last to first, so the first is examined next, by whichever lane is free.
    for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) lanes.Queue(it->get());
  }
  std::erase_if(listing.files, [this](const FileEntry& file) {
    return !ListsFile(file) || shared_.excluded.Excludes(file.Name);
  });
  Compare(listing.files, entered);
}

void FolderScan::Compare(std::vector<FileEntry>& files,
                         const std::vector<std::string>& folder_names) {
  const TOptionSync& options = shared_.options;
  // With no master folder there is nothing to compare with: every file is new.
  std::vector<platform::FoundEntry> master;
  if (!options.MasterFolder.empty() && !(files.empty() && folder_names.empty())) {
    std::string master_folder(options.MasterFolder);
    master_folder.append(RelativePath(path_, options.SourceFolder));
    // The subfolders are asked for in the same go, after the files: the folder pass then
    // knows which the master has without a status call on each one's whole path.
    const size_t file_count = files.size();
    for (const std::string& name : folder_names) files.emplace_back().Name = name;
    shared_.fs.FindEntries(master_folder, files, &master);
    files.resize(file_count);
    for (size_t i = 0; i < folder_names.size(); ++i) {
      const platform::FoundEntry& there = master[file_count + i];
      subfolders[i]->in_master = there.found && (there.entry.Attr & kAttrFolder) != 0;
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    const bool found = i < master.size() && master[i].found;
    if (!IsChanged(options, files[i], found ? &master[i].entry : nullptr))
      continue;
    std::string name;
    name.reserve(path_.size() + 1 + files[i].Name.size());
    name.append(path_).append(1, platform::kPathSeparator).append(files[i].Name);
    FileEntry& file = changed.emplace_back(std::move(files[i]));
    file.Name = std::move(name);
  }
}

// Takes what `folder` found, and then its subfolders', in the order a walk down the tree meets
// them: the folder's failures, each subfolder with all below it, then the folder's files.
void Take(ScanLanes& lanes, FolderScan& folder, const TOptionSync& options, ProgressSink& sink,
          ScanResult& found) {
  if (sink.StopRequested()) {
    lanes.Stop();
    return;
  }
  lanes.Wait(folder);
  if (!folder.listed)
    return;  // stopped before it was listed
  for (const std::string& failure : folder.failures) sink.Failure(failure);
  for (std::unique_ptr<FolderScan>& sub : folder.subfolders) {
    found.sub_folders.emplace_back(RelativePath(sub->path(), options.SourceFolder));
    if (!options.MasterFolder.empty())
      found.in_master.push_back(sub->in_master ? 1 : 0);
    Take(lanes, *sub, options, sink, found);
    // Taken, with all below it: its memory goes now. Once stopped, lanes may still be
    // examining what lies below; it is dropped with them.
    if (!sink.StopRequested())
      sub.reset();
  }
  found.copy_list.insert(found.copy_list.end(), std::make_move_iterator(folder.changed.begin()),
                         std::make_move_iterator(folder.changed.end()));
}

}  // namespace

ScanResult ScanFolder(platform::FileSystem& fs, const TOptionSync& options,
                      const std::vector<platform::FolderId>& skip, ProgressSink& sink) {
  const ScanShared shared{fs, options, skip, Exclusions(options.Exclude)};
  platform::FolderId root_id;
  const bool known = fs.GetFolderId(options.SourceFolder, &root_id).ok();
  FolderScan root(shared, options.SourceFolder, root_id, known, nullptr);
  ScanResult found;
  {
    // Gone, and its threads joined, before the folders they may still be examining.
    ScanLanes lanes(fs.ParallelScans());
    if (!sink.StopRequested())
      lanes.Queue(&root);
    Take(lanes, root, options, sink, found);
  }
  return found;
}

}  // namespace engine
