// The figures of the summary line that "--stats" adds after a run.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "engine/platform/forwarding_file_system.h"

namespace console {

struct RunStatistics {
  uint64_t files_listed = 0;  // new or changed files the scan found
  uint64_t copies = 0;        // copies made (in a dry run: that a run would make)
  uint64_t bytes = 0;         // their sizes
  uint64_t failures = 0;
  double seconds = 0;
};

// Counts the copies that succeed and their bytes. After a real copy the destination is what
// was written; in a dry run nothing was, so the source's size counts instead.
class CountingFileSystem final : public platform::ForwardingFileSystem {
 public:
  CountingFileSystem(platform::FileSystem& inner, bool dry_run)
      : ForwardingFileSystem(inner), dry_run_(dry_run) {}

  platform::IoResult CopyOver(const std::string& from, const std::string& to,
                              platform::SourceStamp expected,
                              platform::SourceStamp* copied) override;

  // Counting keeps the run's pace: the scan and the copies still run side by side.
  int ParallelScans() const override { return inner_.ParallelScans(); }
  int ParallelCopies() const override { return inner_.ParallelCopies(); }

  uint64_t copies() const { return copies_; }
  uint64_t bytes() const { return bytes_; }

 private:
  platform::IoResult Count(const platform::IoResult& result, const std::string& from,
                           const std::string& to);

  bool dry_run_;
  std::atomic<uint64_t> copies_ = 0;
  std::atomic<uint64_t> bytes_ = 0;
};

// "parlocon: files listed 3, copies made 6, bytes copied 2048, failures 0, seconds 0.012"
// A dry run says "copies to make" and "bytes to copy".
std::string StatisticsLine(const RunStatistics& stats, bool dry_run);

}  // namespace console
