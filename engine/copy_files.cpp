#include "engine/copy_files.h"

#include <cstdint>
#include <deque>

#include "engine/copy_lanes.h"
#include "engine/platform/path_rules.h"
#include "engine/sync_paths.h"

namespace engine {
namespace {

std::string_view FolderOf(std::string_view path) {
  return path.substr(0, path.rfind(platform::kPathSeparator));
}

// "/d/" for the top folder of the target "/d" reads "/d" in a message.
std::string WithoutTrailingSeparators(std::string_view folder) {
  while (folder.size() > 1 && folder.back() == platform::kPathSeparator) folder.remove_suffix(1);
  return std::string(folder);
}

enum class Plan : uint8_t { kNothing, kHeldBack, kCopy };

struct Planned {
  Plan plan;
  std::string new_folder;  // set when a destination copy is the first into its folder
};

}  // namespace

void CopyFiles(platform::FileSystem& fs, const std::vector<std::string>& targets,
               const std::vector<FileEntry>& files, const std::string& source_folder,
               ProgressSink& sink) {
  const size_t n = files.size();
  const size_t total = targets.size() * n;
  if (total == 0) return;
  // A file that failed to reach a destination, or changed while the run handed it out, is held
  // back from the master, so the next run finds it changed again and retries every target.
  // So is every file when the destinations' copies could not be flushed to disk.
  enum : uint8_t { kOk, kFailed, kChanged };
  std::vector<uint8_t> state(n, kOk);
  // The source as the first target got it; the master must get that version or none.
  std::vector<platform::SourceStamp> first(n, 0);

  const int lanes = fs.ParallelCopies();
  const size_t ahead = lanes > 1 ? 2 * static_cast<size_t>(lanes) : 1;
  CopyLanes copies(fs, lanes);
  std::deque<Planned> planned;
  std::string cleaned;
  size_t next_plan = 0;
  // The master records what was handed out, so it must not get a copy before every
  // destination's copies are on disk: they are flushed between the two.
  const size_t first_master = total - n;
  std::vector<std::string> written;  // destination folders that received a copy
  std::string folder_taken;          // the folder of the destination copy last taken
  bool flushed = false, unflushed = false;

  // Copy j is the file j % n to the target j / n. A master copy is planned only once every
  // destination copy has been taken, since that decides whether it is made, and flushed.
  auto ready = [&](size_t j, size_t taken) {
    return j < total && j < taken + ahead && (j < first_master || flushed);
  };
  auto plan = [&](size_t j) {
    const size_t t = j / n, i = j % n;
    const std::string& target = targets[t];
    const bool is_master = t + 1 == targets.size();
    if (i == 0) cleaned.clear();
    if (target.empty()) return Planned{Plan::kNothing, {}};  // an empty target receives nothing
    if (is_master && (state[i] != kOk || unflushed)) return Planned{Plan::kHeldBack, {}};
    CopyJob job;
    job.source = files[i].Name;
    // The relative path starts with a separator, so the destination has a doubled one
    // ("/d//a.txt"); the OS reads it as one.
    job.destination.assign(target)
        .append(1, platform::kPathSeparator)
        .append(RelativePath(job.source, source_folder));
    job.expected = is_master ? first[i] : 0;
    std::string_view folder = FolderOf(job.destination);
    Planned planned_copy{Plan::kCopy, {}};
    if (folder != cleaned) {
      cleaned.assign(folder);
      job.clean_folder = cleaned;
      if (!is_master) planned_copy.new_folder = WithoutTrailingSeparators(cleaned);
    }
    copies.Queue(std::move(job));
    return planned_copy;
  };

  std::string status;
  for (size_t k = 0; k < total; ++k) {
    if (k == first_master) {
      std::vector<std::string> failures;
      // Without a master folder nothing records the copies: no flush is owed.
      if (!written.empty() && !targets.back().empty()) fs.FlushFolders(written, &failures);
      for (const std::string& failure : failures) sink.Failure(failure);
      unflushed = !failures.empty();
      flushed = true;
    }
    while (ready(next_plan, k)) planned.push_back(plan(next_plan++));
    const size_t i = k % n;
    const std::string& source = files[i].Name;
    Planned p = std::move(planned.front());
    planned.pop_front();
    if (p.plan == Plan::kHeldBack) {
      sink.Failure("master copy held back for " + source +
                   (state[i] == kChanged  ? ": it changed during the run"
                    : state[i] == kFailed ? ": not every destination received it"
                                          : ": its copies could not be flushed to disk"));
    } else if (p.plan == Plan::kCopy) {
      if (!p.new_folder.empty()) folder_taken = std::move(p.new_folder);
      CopyOutcome copied = copies.Take();
      if (copied.result.ok() && k < first_master &&
          (written.empty() || written.back() != folder_taken)) {
        written.push_back(folder_taken);
      }
      if (!copied.result.ok()) {
        state[i] = kFailed;
        sink.Failure(copied.result.message);
      } else if (first[i] == 0) {
        first[i] = copied.stamp;
      } else if (copied.stamp != first[i] && state[i] == kOk) {
        state[i] = kChanged;
        sink.Failure(source + " changed during the run: the destinations may hold different versions");
      }
    }
    sink.Step();
    status.assign(kCopyStatusPrefix).append(source);
    sink.Status(status);
  }
}

}  // namespace engine
