#include "engine/dos_time.h"

namespace engine {
namespace {

constexpr uint32_t kEarliest = (0u << 25) | (1u << 21) | (1u << 16);  // 1980-01-01 00:00:00
constexpr uint32_t kLatest =
    (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u;

}  // namespace

uint32_t PackDosTime(int year, int month, int day, int hour, int minute, int second) {
  if (year < 1980)
    return kEarliest;
  if (year > 2107)
    return kLatest;
  uint32_t date = (static_cast<uint32_t>(year - 1980) << 9) | (static_cast<uint32_t>(month) << 5) |
                  static_cast<uint32_t>(day);
  uint32_t time = (static_cast<uint32_t>(hour) << 11) | (static_cast<uint32_t>(minute) << 5) |
                  static_cast<uint32_t>(second / 2);
  return (date << 16) | time;
}

}  // namespace engine
