#include "engine/time_tolerance.h"

namespace engine {
namespace {

constexpr int64_t kHour = 3600;

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yoe = year - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

int64_t DosTimeSeconds(uint32_t dos_time) {
  const uint32_t date = dos_time >> 16;
  const uint32_t time = dos_time & 0xFFFF;
  int64_t month = (date >> 5) & 0x0F;
  if (month < 1)
    month = 1;
  if (month > 12)
    month = 12;
  // Day 0 is the day before the first: the line stays unbroken.
  const int64_t days =
      DaysFromCivil(1980 + (date >> 9), month, 1) + (date & 0x1F) - 1 - DaysFromCivil(1980, 1, 1);
  return days * 86400 + int64_t{time >> 11} * kHour + int64_t{(time >> 5) & 0x3F} * 60 +
         int64_t{time & 0x1F} * 2;
}

bool SameTime(uint32_t a, uint32_t b, int tolerance, bool ignore_hour_shift) {
  if (a == b)
    return true;
  if (tolerance <= 0 && !ignore_hour_shift)
    return false;
  const int64_t slack = tolerance > 0 ? tolerance : 0;
  int64_t apart = DosTimeSeconds(a) - DosTimeSeconds(b);
  if (apart < 0)
    apart = -apart;
  if (apart <= slack)
    return true;
  const int64_t off_the_hour = apart > kHour ? apart - kHour : kHour - apart;
  return ignore_hour_shift && off_the_hour <= slack;
}

}  // namespace engine
