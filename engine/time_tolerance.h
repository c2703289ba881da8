// When two last-write times count as the same for the comparison with the master: exactly
// equal, or within a tolerance in seconds, and optionally also exactly one hour apart. A master
// on FAT, exFAT or an SMB share keeps times in 2-second steps rounded its own way, and on FAT in
// local time, which moves by an hour against the source's when the clocks change.
#pragma once

#include <cstdint>

namespace engine {

// Seconds since 1980-01-01 00:00:00 of a local MS-DOS date-time, across days, months and years.
// Fields out of their range (as no real time has them) still count linearly, so every value
// has a place on the line.
int64_t DosTimeSeconds(uint32_t dos_time);

// True when the times are equal; or, with a tolerance above 0, no more than `tolerance`
// seconds apart; or, with `ignore_hour_shift`, one hour apart give or take the tolerance.
// A tolerance of 0 and no hour shift is the exact comparison.
bool SameTime(uint32_t a, uint32_t b, int tolerance, bool ignore_hour_shift);

}  // namespace engine
