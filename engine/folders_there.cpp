#include "engine/folders_there.h"

#include <algorithm>
#include <memory>

#include "engine/force_folder.h"
#include "engine/scan_lanes.h"

namespace engine {
namespace {

constexpr size_t kFoldersPerTask = 128;

// Asks for one run of folders of one target.
class FolderCheck final : public ScanTask {
 public:
  FolderCheck(platform::FileSystem& fs, const std::string& target,
              const std::vector<std::string>& sub_folders, size_t first, size_t end, char* there)
      : fs_(fs),
        target_(target),
        sub_folders_(sub_folders),
        first_(first),
        end_(end),
        there_(there) {}

  void Run(ScanLanes&) override {
    std::string path;
    for (size_t i = first_; i < end_; ++i) {
      path.assign(target_).append(sub_folders_[i]);
      there_[i] = FolderExists(fs_, path) ? 1 : 0;
    }
  }

 private:
  platform::FileSystem& fs_;
  const std::string& target_;
  const std::vector<std::string>& sub_folders_;
  const size_t first_, end_;
  char* const there_;  // this target's entries; each task writes its own
};

}  // namespace

std::vector<char> FoldersThere(platform::FileSystem& fs, const std::vector<std::string>& targets,
                               const std::vector<std::string>& sub_folders,
                               const std::vector<char>& last_known) {
  const size_t subs = sub_folders.size();
  std::vector<char> there(targets.size() * subs, 0);
  size_t to_ask = targets.size();
  if (to_ask > 0 && subs > 0 && last_known.size() == subs) {
    --to_ask;
    if (!targets.back().empty())
      std::copy(last_known.begin(), last_known.end(), there.begin() + to_ask * subs);
  }
  const int lanes = fs.ParallelScans();
  if (lanes <= 1 || there.empty())
    return there;
  std::vector<std::unique_ptr<FolderCheck>> checks;
  for (size_t t = 0; t < to_ask; ++t) {
    if (targets[t].empty())
      continue;
    for (size_t first = 0; first < subs; first += kFoldersPerTask) {
      checks.push_back(std::make_unique<FolderCheck>(fs, targets[t], sub_folders, first,
                                                     std::min(subs, first + kFoldersPerTask),
                                                     there.data() + t * subs));
    }
  }
  ScanLanes scan_lanes(lanes);
  for (auto it = checks.rbegin(); it != checks.rend(); ++it) scan_lanes.Queue(it->get());
  for (const std::unique_ptr<FolderCheck>& check : checks) scan_lanes.Wait(*check);
  return there;
}

}  // namespace engine
