#include "engine/scan_folder.h"

#include <algorithm>

#include "engine/exclusions.h"
#include "engine/platform/path_rules.h"
#include "engine/platform/temp_name.h"
#include "engine/sync_paths.h"
#include "engine/time_tolerance.h"

namespace engine {
namespace {

struct ScanContext {
  platform::FileSystem& fs;
  const TOptionSync& options;
  const std::vector<platform::FolderId>& skip;
  const Exclusions excluded;
  std::vector<platform::FolderId> descent;  // the folders from the source down to here
  ProgressSink& sink;
  ScanResult found;
};

bool Contains(const std::vector<platform::FolderId>& ids, const platform::FolderId& id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool IsChanged(const TOptionSync& options, const FileEntry& source, const FileEntry* master) {
  if (master == nullptr) return true;
  return (options.flSize && master->Size != source.Size) ||
         (options.flDate &&
          !SameTime(master->Time, source.Time, options.TimeTolerance, options.IgnoreHourShift)) ||
         (options.flAttr && master->Attr != source.Attr);
}

void Scan(ScanContext& ctx, const std::string& folder) {
  if (ctx.sink.StopRequested())
    return;
  const TOptionSync& options = ctx.options;
  platform::FolderListing listing;
  platform::IoResult listed =
      ctx.fs.ListFolder(folder, options.Mask, options.SyncSub, &listing);
  if (!listed.ok()) {
    ctx.sink.Failure(listed.message);
    return;
  }

  for (const std::string& failure : listing.failures) ctx.sink.Failure(failure);

  std::string path;
  if (options.SyncSub) {
    for (const platform::Subfolder& sub : listing.subfolders) {
      if (sub.attr & (kAttrHidden | kAttrSystem | kAttrVolume)) continue;
      if (sub.name == "." || sub.name == "..") continue;
      if (ctx.excluded.Excludes(sub.name))
        continue;
      // A target inside the source, or a link back to a folder above: never entered.
      if (Contains(ctx.skip, sub.id) || Contains(ctx.descent, sub.id)) continue;
      path.assign(folder).append(1, platform::kPathSeparator).append(sub.name);
      ctx.found.sub_folders.emplace_back(RelativePath(path, options.SourceFolder));
      ctx.descent.push_back(sub.id);
      Scan(ctx, path);
      ctx.descent.pop_back();
    }
  }

  // With no master folder there is nothing to compare with: every file is new.
  const bool compare = !options.MasterFolder.empty();
  std::string master_folder;
  if (compare) {
    master_folder.assign(options.MasterFolder).append(RelativePath(folder, options.SourceFolder));
  }
  FileEntry master;
  for (FileEntry& file : listing.files) {
    // A temporary file, maybe a copy still being written by a run that fills this folder.
    if (platform::IsTempName(file.Name)) continue;
    if (ctx.excluded.Excludes(file.Name))
      continue;
    bool found = compare && ctx.fs.FindEntry(master_folder, file.Name, &master);
    if (!IsChanged(options, file, found ? &master : nullptr)) continue;
    path.assign(folder).append(1, platform::kPathSeparator).append(file.Name);
    file.Name = path;
    ctx.found.copy_list.push_back(std::move(file));
  }
}

}  // namespace

ScanResult ScanFolder(platform::FileSystem& fs, const TOptionSync& options,
                      const std::vector<platform::FolderId>& skip, ProgressSink& sink) {
  ScanContext ctx{fs, options, skip, Exclusions(options.Exclude), {}, sink, {}};
  platform::FolderId root;
  if (fs.GetFolderId(options.SourceFolder, &root).ok()) ctx.descent.push_back(root);
  Scan(ctx, options.SourceFolder);
  fs.EndLookups();
  return std::move(ctx.found);
}

}  // namespace engine
