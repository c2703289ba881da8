#include "engine/platform/posix/local_dos_time.h"

#include "engine/dos_time.h"

namespace platform {
namespace {

// Offset of local time from UTC. Zone changes happen on quarter-hour boundaries, so one
// lookup serves every time in the same quarter hour, and a scan meets long runs of those.
long LocalOffset(time_t seconds) {
  static thread_local time_t cached_bucket = -1;
  static thread_local long cached_offset = 0;
  time_t bucket = seconds / 900 - (seconds % 900 < 0 ? 1 : 0);
  if (bucket != cached_bucket) {
    struct tm local {};
    if (localtime_r(&seconds, &local) == nullptr) return 0;
    cached_offset = local.tm_gmtoff;
    cached_bucket = bucket;
  }
  return cached_offset;
}

}  // namespace

uint32_t LocalDosTime(time_t seconds) {
  time_t local = seconds + LocalOffset(seconds);
  struct tm parts {};
  if (gmtime_r(&local, &parts) == nullptr) {
    return seconds < 0 ? engine::PackDosTime(1979, 1, 1, 0, 0, 0)
                       : engine::PackDosTime(2108, 1, 1, 0, 0, 0);
  }
  return engine::PackDosTime(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                             parts.tm_hour, parts.tm_min, parts.tm_sec);
}

}  // namespace platform
