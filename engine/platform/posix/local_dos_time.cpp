#include "engine/platform/posix/local_dos_time.h"

#include <array>

#include "engine/dos_time.h"

namespace platform {
namespace {

constexpr int64_t kDay = 86400;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

long OffsetAt(time_t seconds) {
  struct tm local {};
  return localtime_r(&seconds, &local) != nullptr ? local.tm_gmtoff : 0;
}

// Offset of local time from UTC. The zone database is slow to ask, and a scan asks once per
// file, so the answer is kept per UTC day: a day whose start and end have the same offset has
// it throughout (zones change at most once a day); only a changeover day asks for each time.
long LocalOffset(time_t seconds) {
  struct DayOffsets {
    int64_t day = INT64_MIN;
    long at_start = 0;
    long at_end = 0;
  };
  static thread_local std::array<DayOffsets, 1024> cache;
  const int64_t day = FloorDiv(seconds, kDay);
  DayOffsets& slot = cache[static_cast<size_t>(day) % cache.size()];
  if (slot.day != day) {
    slot.day = day;
    slot.at_start = OffsetAt(static_cast<time_t>(day * kDay));
    slot.at_end = OffsetAt(static_cast<time_t>(day * kDay + kDay - 1));
  }
  return slot.at_start == slot.at_end ? slot.at_start : OffsetAt(seconds);
}

}  // namespace

uint32_t LocalDosTime(time_t seconds) {
  // A file may carry any 64-bit time. Long before 1980 or after 2107 the answer is one of the
  // format's ends in every zone, and the day arithmetic below must not overflow on such times.
  if (seconds < 0) return engine::PackDosTime(1979, 1, 1, 0, 0, 0);
  if (seconds > 4500000000) return engine::PackDosTime(2108, 1, 1, 0, 0, 0);  // year 2112
  const int64_t local = static_cast<int64_t>(seconds) + LocalOffset(seconds);
  const int64_t days = FloorDiv(local, kDay);
  const int64_t of_day = local - days * kDay;
  // Civil date from a day count since 1970-01-01 (proleptic Gregorian calendar).
  const int64_t z = days + 719468;
  const int64_t era = FloorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  if (year < 1980) return engine::PackDosTime(1979, 1, 1, 0, 0, 0);
  if (year > 2107) return engine::PackDosTime(2108, 1, 1, 0, 0, 0);
  return engine::PackDosTime(static_cast<int>(year), static_cast<int>(month),
                             static_cast<int>(day), static_cast<int>(of_day / 3600),
                             static_cast<int>(of_day / 60 % 60), static_cast<int>(of_day % 60));
}

}  // namespace platform
