#include "engine/platform/posix/local_dos_time.h"

#include <atomic>
#include <climits>

#include "engine/dos_time.h"

namespace platform {
namespace {

constexpr int64_t kDay = 86400;
constexpr long kUnset = LONG_MIN;

// One offset for the whole run, the same on every thread: asking the zone for each file's own
// moment would be slower and would fold the repeated autumn hour onto the hour before it.
std::atomic<long> offset_in_use{kUnset};

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

long CurrentOffset() {
  tzset();
  const time_t now = time(nullptr);
  struct tm local {};
  return localtime_r(&now, &local) != nullptr ? local.tm_gmtoff : 0;
}

}  // namespace

void TakeCurrentLocalOffset() {
  offset_in_use.store(CurrentOffset(), std::memory_order_relaxed);
}

long LocalOffsetInUse() {
  long offset = offset_in_use.load(std::memory_order_relaxed);
  if (offset == kUnset) {
    long expected = kUnset;
    offset_in_use.compare_exchange_strong(expected, CurrentOffset(), std::memory_order_relaxed);
    offset = offset_in_use.load(std::memory_order_relaxed);
  }
  return offset;
}

uint32_t LocalDosTime(time_t seconds) {
  // A file may carry any 64-bit time. Long before 1980 or after 2107 the answer is one of the
  // format's ends in every zone, and the day arithmetic below must not overflow on such times.
  if (seconds < 0)
    return engine::PackDosTime(1979, 1, 1, 0, 0, 0);
  if (seconds > 4500000000)
    return engine::PackDosTime(2108, 1, 1, 0, 0, 0);  // year 2112
  const int64_t local = static_cast<int64_t>(seconds) + LocalOffsetInUse();
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
  if (year < 1980)
    return engine::PackDosTime(1979, 1, 1, 0, 0, 0);
  if (year > 2107)
    return engine::PackDosTime(2108, 1, 1, 0, 0, 0);
  return engine::PackDosTime(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day),
                             static_cast<int>(of_day / 3600), static_cast<int>(of_day / 60 % 60),
                             static_cast<int>(of_day % 60));
}

}  // namespace platform
