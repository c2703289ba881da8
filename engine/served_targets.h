// Which targets a run copies into. A target that is the source folder itself, reached through a
// link or spelled another way, receives nothing: each copy would replace a source file with
// itself and make it look changed to the master copy. A folder listed twice is served once, and
// a destination that is the master folder is served as the master, last. Folders are told
// apart by device and inode, so no spelling hides one.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "engine/platform/file_system.h"
#include "engine/progress_sink.h"

namespace engine {

class ServedTargets {
 public:
  // `targets`: the destinations in order, then the master folder. Until compared, every
  // target is served as written.
  explicit ServedTargets(const std::vector<std::string>& targets);

  // Compares every target the disk shows with the source and with the other targets, and
  // blanks each that must receive nothing; a blanked target stays blank for the run. A target
  // found to be the source is reported the first time. A target the disk does not show yet
  // cannot be compared: compare again once the folder pass has made it.
  void Compare(platform::FileSystem& fs, const std::string& source, ProgressSink& sink);

  // The targets in their order and number, each that must receive nothing empty, so every
  // target still has its steps.
  const std::vector<std::string>& served() const { return served_; }
  // The identities of the targets the disk showed at the latest comparison.
  const std::vector<platform::FolderId>& ids() const { return ids_; }
  // True when the latest comparison met a target the disk did not show.
  bool some_unknown() const { return some_unknown_; }

 private:
  std::vector<std::string> targets_;
  std::vector<std::string> served_;
  std::vector<platform::FolderId> ids_;
  std::set<std::string> reported_;
  bool some_unknown_ = false;
};

}  // namespace engine
