#include "engine/copy_files.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

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

// A file that failed to reach a destination, or changed while the run handed it out, is held
// back from the master, so the next run finds it changed again and retries every target.
enum class Delivery : uint8_t { kOk, kFailed, kChanged };

enum class Plan : uint8_t { kNothing, kHeldBack, kCopy };

struct Planned {
  Plan plan;
  std::string new_folder;  // set when a destination copy is the first into its folder
};

// One pass over every file and target, reported copy by copy in order while the lanes may run
// ahead. Copy number k is the file k % n to the target k / n; the master's copies come last.
// The lanes work first on the target being reported and, while they have room, on the
// destinations after it, so copies into several destinations (other machines, say) run side by
// side while their reports still come destination after destination.
class CopyPass {
 public:
  CopyPass(platform::FileSystem& fs, const std::vector<std::string>& targets,
           const std::vector<FileEntry>& files, const std::string& source_folder,
           ProgressSink& sink, int lanes, RetryRule retry);
  void Run();

 private:
  size_t FileOf(size_t k) const { return k % files_.size(); }
  size_t TargetOf(size_t k) const { return k / files_.size(); }
  bool ToMaster(size_t k) const { return k >= first_master_; }
  void PlanAhead(size_t reporting);
  void PlanNext(size_t target);
  CopyJob JobFor(size_t k) const;
  Planned PlanCopy(size_t k);
  void FlushDestinations();
  void Settle(size_t k, Planned planned);
  void TakeOutcome(size_t k, const CopyOutcome& copied, const std::string& folder);
  void RetryKept();
  void RecordStamp(size_t i, platform::SourceStamp stamp);
  void ReportHeldBack(size_t i);

  platform::FileSystem& fs_;
  const std::vector<std::string>& targets_;
  const std::vector<FileEntry>& files_;
  const std::string& source_folder_;
  ProgressSink& sink_;
  const size_t total_;
  const size_t first_master_;
  const int lanes_;
  const size_t ahead_;  // how far planning may run before the copy being reported
  CopyLanes copies_;
  CopyRetries retries_;

  std::unordered_map<size_t, Planned> planned_;  // by copy number, until reported
  std::vector<size_t> next_file_;                // by target: the next file to plan
  std::vector<std::string> cleaned_;  // by target: the latest planned copy's folder, cleaned
  std::vector<bool> on_network_;      // by target
  std::vector<Delivery> delivery_;
  // The source as the first target got it; the master must get that version or none.
  std::vector<platform::SourceStamp> first_stamp_;
  std::vector<std::string> written_;  // destination folders that received a copy
  std::string folder_taken_;          // the folder of the destination copy last taken
  bool flushed_ = false;
  bool unflushed_ = false;  // the flush failed: every master copy is held back
};

// Outcomes of copies made ahead of their report are kept until reported; this bounds them (and
// their memory) for very large trees, where later destinations then wait their turn.
constexpr size_t kMostHeldAhead = 32768;

CopyPass::CopyPass(platform::FileSystem& fs, const std::vector<std::string>& targets,
                   const std::vector<FileEntry>& files, const std::string& source_folder,
                   ProgressSink& sink, int lanes, RetryRule retry)
    : fs_(fs),
      targets_(targets),
      files_(files),
      source_folder_(source_folder),
      sink_(sink),
      total_(targets.size() * files.size()),
      first_master_(total_ - files.size()),
      lanes_(lanes),
      ahead_(lanes_ > 1 ? 2 * static_cast<size_t>(lanes_) : 1),
      copies_(fs, lanes_),
      retries_(retry),
      next_file_(targets.size(), 0),
      cleaned_(targets.size()),
      on_network_(targets.size(), false),
      delivery_(files.size(), Delivery::kOk),
      first_stamp_(files.size(), 0) {
  for (size_t t = 0; t < targets.size(); ++t) {
    on_network_[t] = !targets[t].empty() && fs.WaitsOnNetwork(targets[t]);
  }
}

void CopyPass::Run() {
  std::string status;
  for (size_t k = 0; k < total_; ++k) {
    if (k > 0 && FileOf(k) == 0) {
      RetryKept();  // the previous target's copies are all done
      if (sink_.StopRequested())
        return;
    }
    if (k == first_master_)
      FlushDestinations();
    PlanAhead(k);
    auto it = planned_.find(k);
    Planned planned = std::move(it->second);
    planned_.erase(it);
    Settle(k, std::move(planned));
    sink_.StepSize(FullSize(files_[FileOf(k)]));
    sink_.Step();
    status.assign(kCopyStatusPrefix).append(files_[FileOf(k)].Name);
    sink_.Status(status);
    if (sink_.StopRequested())
      return;  // the lanes finish the copies under way and drop the rest
  }
  RetryKept();
}

// The target being reported is planned up to `ahead_` copies past the one reported, and every
// later destination in step with it, so the lanes start copies into all of them in turn. A
// master copy is planned only once every destination copy has been taken, since that decides
// whether it is made, and flushed. With tries again, no copy of a later target is planned
// before this target's are tried again, so the lanes are free for them.
void CopyPass::PlanAhead(size_t reporting) {
  const size_t target = TargetOf(reporting);
  const size_t n = files_.size();
  const size_t until = std::min(n, FileOf(reporting) + ahead_);
  if (ToMaster(reporting) && !flushed_)
    return;
  while (next_file_[target] < until) PlanNext(target);
  if (lanes_ <= 1 || ToMaster(reporting) || retries_.enabled())
    return;
  for (size_t t = target + 1; t + 1 < targets_.size(); ++t) {
    while (!targets_[t].empty() && next_file_[t] < until && copies_.Held() < kMostHeldAhead) {
      PlanNext(t);
    }
  }
}

void CopyPass::PlanNext(size_t target) {
  const size_t k = target * files_.size() + next_file_[target]++;
  planned_.emplace(k, PlanCopy(k));
}

CopyJob CopyPass::JobFor(size_t k) const {
  const size_t i = FileOf(k);
  CopyJob job;
  job.source = files_[i].Name;
  // The relative path starts with a separator, so the destination has a doubled one
  // ("/d//a.txt"); the OS reads it as one.
  job.destination.assign(targets_[TargetOf(k)])
      .append(1, platform::kPathSeparator)
      .append(RelativePath(job.source, source_folder_));
  job.expected = ToMaster(k) ? first_stamp_[i] : 0;
  return job;
}

Planned CopyPass::PlanCopy(size_t k) {
  const size_t i = FileOf(k);
  const size_t t = TargetOf(k);
  const std::string& target = targets_[t];
  if (target.empty())
    return {Plan::kNothing, {}};  // an empty target receives nothing
  const bool to_master = ToMaster(k);
  if (to_master && (delivery_[i] != Delivery::kOk || unflushed_))
    return {Plan::kHeldBack, {}};
  CopyJob job = JobFor(k);
  Planned planned{Plan::kCopy, {}};
  std::string_view folder = FolderOf(job.destination);
  // Each target's folders are cleaned on its own first copy into them.
  std::string& cleaned = cleaned_[t];
  if (i == 0 || folder != cleaned) {
    cleaned.assign(folder);
    job.clean_folder = cleaned;
    job.clean_after = on_network_[t];
    if (!to_master)
      planned.new_folder = WithoutTrailingSeparators(cleaned);
  }
  copies_.Queue(k, std::move(job));
  return planned;
}

// The master records what was handed out, so it must not get a copy before every
// destination's copies are on disk. Without a master folder nothing records the copies: no
// flush is owed.
void CopyPass::FlushDestinations() {
  std::vector<std::string> failures;
  if (!written_.empty() && !targets_.back().empty())
    fs_.FlushFolders(written_, &failures);
  for (const std::string& failure : failures) sink_.Failure(failure);
  unflushed_ = !failures.empty();
  flushed_ = true;
}

// Takes the outcome of copy k, in report order, and notes what it means for the master.
void CopyPass::Settle(size_t k, Planned planned) {
  const size_t i = FileOf(k);
  if (planned.plan == Plan::kHeldBack) {
    ReportHeldBack(i);
    return;
  }
  if (planned.plan != Plan::kCopy)
    return;
  if (!planned.new_folder.empty())
    folder_taken_ = std::move(planned.new_folder);
  CopyOutcome copied = copies_.Take(k);
  if (!copied.result.ok() && retries_.Keep(k, copied.result))
    return;
  TakeOutcome(k, copied, folder_taken_);
}

// `folder`: the destination folder the copy went into, flushed before the master's copies.
void CopyPass::TakeOutcome(size_t k, const CopyOutcome& copied, const std::string& folder) {
  const size_t i = FileOf(k);
  if (!copied.result.ok()) {
    delivery_[i] = Delivery::kFailed;
    sink_.Failure(copied.result.message);
    return;
  }
  if (!ToMaster(k) && (written_.empty() || written_.back() != folder))
    written_.push_back(folder);
  RecordStamp(i, copied.stamp);
}

void CopyPass::RetryKept() {
  retries_.TryAgain(
      copies_, sink_, [this](size_t k) { return JobFor(k); },
      [this](size_t k, const CopyOutcome& outcome) {
        TakeOutcome(k, outcome, WithoutTrailingSeparators(FolderOf(JobFor(k).destination)));
      });
}

void CopyPass::RecordStamp(size_t i, platform::SourceStamp stamp) {
  if (first_stamp_[i] == 0) {
    first_stamp_[i] = stamp;
  } else if (stamp != first_stamp_[i] && delivery_[i] == Delivery::kOk) {
    delivery_[i] = Delivery::kChanged;
    sink_.Failure(files_[i].Name +
                  " changed during the run: the destinations may hold different versions");
  }
}

void CopyPass::ReportHeldBack(size_t i) {
  const char* reason = ": its copies could not be flushed to disk";
  if (delivery_[i] == Delivery::kChanged)
    reason = ": it changed during the run";
  else if (delivery_[i] == Delivery::kFailed)
    reason = ": not every destination received it";
  sink_.Failure("master copy held back for " + files_[i].Name + reason);
}

}  // namespace

int CopyLanesFor(platform::FileSystem& fs, const std::vector<std::string>& targets, int parallel) {
  const int most = fs.ParallelCopies();
  if (most <= 1)
    return 1;
  if (parallel > 0)
    return std::min(parallel, kMostLanes);
  int lanes = most;
  for (size_t t = 0; t + 1 < targets.size(); ++t) {
    if (!targets[t].empty() && fs.WaitsOnNetwork(targets[t]))
      lanes += kLanesPerNetwork;
  }
  return std::min(lanes, 16);
}

void CopyFiles(platform::FileSystem& fs, const std::vector<std::string>& targets,
               const std::vector<FileEntry>& files, const std::string& source_folder,
               ProgressSink& sink, int lanes, RetryRule retry) {
  if (targets.empty() || files.empty())
    return;
  CopyPass(fs, targets, files, source_folder, sink, lanes, retry).Run();
}

}  // namespace engine
