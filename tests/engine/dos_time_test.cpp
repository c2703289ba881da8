#include "engine/dos_time.h"

#include <cstdint>

#include <gtest/gtest.h>

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
// A second of 1 falls in the same step as second 0; years outside 1980-2107 give the nearest end.
INSTANTIATE_TEST_SUITE_P(Times, PackDosTimeTest,
                         testing::Values(DosCase{1980, 1, 1, 0, 0, 0, 0x00210000},
                                         DosCase{1980, 1, 1, 0, 0, 1, 0x00210000},
                                         DosCase{1980, 1, 1, 0, 0, 2, 0x00210001},
                                         DosCase{2000, 2, 29, 13, 14, 15, 0x285D69C7},
                                         DosCase{2107, 12, 31, 23, 59, 59, 0xFF9FBF7D},
                                         DosCase{1979, 12, 31, 23, 59, 59, 0x00210000},
                                         DosCase{1601, 1, 1, 0, 0, 0, 0x00210000},
                                         DosCase{2108, 1, 1, 0, 0, 0, 0xFF9FBF7D},
                                         DosCase{9999, 6, 15, 12, 0, 0, 0xFF9FBF7D}));

}  // namespace
