#include "engine/dos_time.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "engine/platform/posix/local_dos_time.h"

namespace {

struct DosCase {
  int year, month, day, hour, minute, second;
  uint32_t packed;
};

void PrintTo(const DosCase& c, std::ostream* os) {
  *os << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << ":"
      << c.second;
}

class PackDosTimeTest : public testing::TestWithParam<DosCase> {};

TEST_P(PackDosTimeTest, PacksDateHighTimeLowInTwoSecondSteps) {
  const DosCase& c = GetParam();
  EXPECT_EQ(engine::PackDosTime(c.year, c.month, c.day, c.hour, c.minute, c.second), c.packed)
      << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << ":"
      << c.second;
}

// Date word: (year - 1980) << 9 | month << 5 | day. Time word: hour << 11 | minute << 5 | sec / 2.
INSTANTIATE_TEST_SUITE_P(Times, PackDosTimeTest,
                         testing::Values(DosCase{1980, 1, 1, 0, 0, 0, 0x00210000},
                                         DosCase{1980, 1, 1, 0, 0, 1,
                                                 0x00210000},  // same step as second 0
                                         DosCase{1980, 1, 1, 0, 0, 2, 0x00210001},
                                         DosCase{2000, 2, 29, 13, 14, 15, 0x285D69C7},
                                         DosCase{2107, 12, 31, 23, 59, 59, 0xFF9FBF7D},
                                         // outside what the format holds: the nearest end
                                         DosCase{1979, 12, 31, 23, 59, 59, 0x00210000},
                                         DosCase{1601, 1, 1, 0, 0, 0, 0x00210000},
                                         DosCase{2108, 1, 1, 0, 0, 0, 0xFF9FBF7D},
                                         DosCase{9999, 6, 15, 12, 0, 0, 0xFF9FBF7D}));

TEST(LocalDosTimeTest, ClampsTimesTheFormatCannotHold) {
  const uint32_t earliest = 0x00210000, latest = 0xFF9FBF7D;
  EXPECT_EQ(platform::LocalDosTime(0), earliest);
  EXPECT_EQ(platform::LocalDosTime(-1), earliest);
  EXPECT_EQ(platform::LocalDosTime(std::numeric_limits<time_t>::min()), earliest);
  EXPECT_EQ(platform::LocalDosTime(5000000000), latest);  // year 2128
  EXPECT_EQ(platform::LocalDosTime(std::numeric_limits<time_t>::max()), latest);
}

}  // namespace
