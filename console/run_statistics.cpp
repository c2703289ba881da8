#include "console/run_statistics.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace console {

platform::IoResult CountingFileSystem::CopyOver(const std::string& from, const std::string& to,
                                                platform::SourceStamp expected,
                                                platform::SourceStamp* copied) {
  return Count(inner_.CopyOver(from, to, expected, copied), from, to);
}

platform::IoResult CountingFileSystem::Count(const platform::IoResult& result,
                                             const std::string& from, const std::string& to) {
  if (!result.ok())
    return result;
  ++copies_;
  std::error_code error;
  uintmax_t size = std::filesystem::file_size(dry_run_ ? from : to, error);
  if (!error)
    bytes_ += size;
  return result;
}

std::string StatisticsLine(const RunStatistics& stats, bool dry_run) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", stats.seconds);
  return "parlocon: files listed " + std::to_string(stats.files_listed) +
         (dry_run ? ", copies to make " : ", copies made ") + std::to_string(stats.copies) +
         (dry_run ? ", bytes to copy " : ", bytes copied ") + std::to_string(stats.bytes) +
         ", failures " + std::to_string(stats.failures) + ", seconds " + seconds + "\n";
}

}  // namespace console
