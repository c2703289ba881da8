// A file time in seconds since 1970 as the DOS date-time of the local clock.
#pragma once

#include <cstdint>
#include <ctime>

namespace platform {

uint32_t LocalDosTime(time_t seconds);

}  // namespace platform
