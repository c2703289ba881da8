#include "engine/served_targets.h"

#include <optional>

namespace engine {

ServedTargets::ServedTargets(const std::vector<std::string>& targets)
    : targets_(targets), served_(targets) {}

void ServedTargets::Compare(platform::FileSystem& fs, const std::string& source,
                            ProgressSink& sink) {
  const size_t count = targets_.size();
  std::vector<std::optional<platform::FolderId>> id(count);
  ids_.clear();
  some_unknown_ = false;
  for (size_t i = 0; i < count; ++i) {
    if (targets_[i].empty())
      continue;
    platform::FolderId found;
    if (fs.GetFolderId(targets_[i], &found).ok()) {
      id[i] = found;
      ids_.push_back(found);
    } else {
      some_unknown_ = true;
    }
  }
  platform::FolderId source_id;
  const bool source_known = !source.empty() && fs.GetFolderId(source, &source_id).ok();
  const size_t master = count - 1;
  for (size_t i = 0; i < count; ++i) {
    if (!id[i] || served_[i].empty())
      continue;
    if (source_known && *id[i] == source_id) {
      served_[i].clear();
      if (reported_.insert(targets_[i]).second) {
        sink.Failure(i == master ? "master folder " + targets_[i] + " is the source folder " +
                                       source + " itself: every file compares equal to itself " +
                                       "and nothing is copied"
                                 : "destination " + targets_[i] + " is the source folder " +
                                       source + " itself: nothing is copied into it");
      }
      continue;
    }
    if (i == master)
      continue;
    bool served_elsewhere = id[master] && *id[master] == *id[i];
    for (size_t j = 0; j < i && !served_elsewhere; ++j) {
      served_elsewhere = !served_[j].empty() && id[j] && *id[j] == *id[i];
    }
    if (served_elsewhere)
      served_[i].clear();
  }
}

}  // namespace engine
