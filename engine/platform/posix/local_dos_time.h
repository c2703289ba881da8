// A file time in seconds since 1970 as the DOS date-time of the local clock.
#pragma once

#include <cstdint>
#include <ctime>

namespace platform {

// Takes the local clock's offset from UTC as it is now (reading the zone afresh); every
// conversion until the next call uses it, on every thread. A run takes it once at its start,
// so two different instants never convert to the same local time, not even in the hour that
// repeats when clocks go back. Without a call, the first conversion takes it.
void TakeCurrentLocalOffset();

// The offset in seconds east of UTC that conversions use now.
long LocalOffsetInUse();

uint32_t LocalDosTime(time_t seconds);

}  // namespace platform
