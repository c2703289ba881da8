// Last-write times packed as MS-DOS date-times: the date word (years since 1980, month, day) in
// the upper 16 bits, the time word (hours, minutes, seconds / 2) in the lower. Years before
// 1980 count as 1980-01-01 00:00:00 and years after 2107 as 2107-12-31 23:59:58.
#pragma once

#include <cstdint>

namespace engine {

uint32_t PackDosTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace engine
