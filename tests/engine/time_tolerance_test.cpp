// When two last-write times count as the same: the tolerance and the hour shift on both sides
// of each bound, also across midnight, a month's and a year's end and a leap day.
#include "engine/time_tolerance.h"

#include <cstdint>

#include <gtest/gtest.h>

#include "engine/dos_time.h"

namespace {

struct At {
  int year, month, day, hour, minute, second;
};

struct SameTimeCase {
  const char* name;
  At a, b;
  int tolerance;
  bool hour_shift;
  bool same;
};

void PrintTo(const SameTimeCase& c, std::ostream* os) {
  *os << c.name;
}

uint32_t Packed(const At& at) {
  return engine::PackDosTime(at.year, at.month, at.day, at.hour, at.minute, at.second);
}

class SameTimeTest : public testing::TestWithParam<SameTimeCase> {};

TEST_P(SameTimeTest, CountsTimesAsTheSameWithinTheBounds) {
  const SameTimeCase& c = GetParam();
  EXPECT_EQ(engine::SameTime(Packed(c.a), Packed(c.b), c.tolerance, c.hour_shift), c.same);
  EXPECT_EQ(engine::SameTime(Packed(c.b), Packed(c.a), c.tolerance, c.hour_shift), c.same)
      << "the other way round";
}

constexpr At kNoon{2024, 6, 15, 12, 0, 0};

// Times are 2-second steps, so they differ by even seconds and a tolerance of 3 acts as 2.
INSTANTIATE_TEST_SUITE_P(
    Bounds, SameTimeTest,
    testing::Values(
        SameTimeCase{"EqualWithoutTolerance", kNoon, kNoon, 0, false, true},
        SameTimeCase{"OneStepWithoutTolerance", kNoon, {2024, 6, 15, 12, 0, 2}, 0, false, false},
        SameTimeCase{"OneStepWithinTwo", kNoon, {2024, 6, 15, 12, 0, 2}, 2, false, true},
        SameTimeCase{"TwoStepsBeyondTwo", kNoon, {2024, 6, 15, 12, 0, 4}, 2, false, false},
        SameTimeCase{"TwoStepsBeyondThree", kNoon, {2024, 6, 15, 12, 0, 4}, 3, false, false},
        SameTimeCase{"TwoStepsWithinFour", kNoon, {2024, 6, 15, 12, 0, 4}, 4, false, true},
        SameTimeCase{"AMinuteWithinSixty", kNoon, {2024, 6, 15, 12, 1, 0}, 60, false, true},
        SameTimeCase{"AMinuteBeyondFiftyEight", kNoon, {2024, 6, 15, 12, 1, 0}, 58, false, false},
        SameTimeCase{"NegativeToleranceIsNone", kNoon, {2024, 6, 15, 12, 0, 2}, -5, false, false},
        SameTimeCase{"AcrossMidnightAndYear",
                     {1999, 12, 31, 23, 59, 58},
                     {2000, 1, 1, 0, 0, 0},
                     2,
                     false,
                     true},
        SameTimeCase{
            "AcrossLeapDay", {2000, 2, 29, 23, 59, 58}, {2000, 3, 1, 0, 0, 0}, 2, false, true},
        SameTimeCase{"AcrossFebruaryWithoutLeapDay",
                     {2001, 2, 28, 23, 59, 58},
                     {2001, 3, 1, 0, 0, 0},
                     2,
                     false,
                     true},
        SameTimeCase{"AcrossAMonthOf30Days",
                     {2024, 4, 30, 23, 59, 58},
                     {2024, 5, 1, 0, 0, 0},
                     2,
                     false,
                     true},
        SameTimeCase{
            "ADayApartIsNoStep", {2024, 4, 30, 12, 0, 0}, {2024, 5, 1, 12, 0, 0}, 2, false, false},
        SameTimeCase{
            "FromTheEarliestTime", {1980, 1, 1, 0, 0, 0}, {1980, 1, 1, 0, 0, 2}, 2, false, true},
        SameTimeCase{"AnHourWithoutTheShift", kNoon, {2024, 6, 15, 13, 0, 0}, 0, false, false},
        SameTimeCase{"AnHourWithTheShift", kNoon, {2024, 6, 15, 13, 0, 0}, 0, true, true},
        SameTimeCase{
            "AnHourAndAStepWithTheShiftAlone", kNoon, {2024, 6, 15, 13, 0, 2}, 0, true, false},
        SameTimeCase{"AnHourAndAStepWithinTwo", kNoon, {2024, 6, 15, 13, 0, 2}, 2, true, true},
        SameTimeCase{"AnHourLessAStepWithinTwo", kNoon, {2024, 6, 15, 12, 59, 58}, 2, true, true},
        SameTimeCase{
            "AnHourLessTwoStepsBeyondTwo", kNoon, {2024, 6, 15, 12, 59, 56}, 2, true, false},
        SameTimeCase{"AnHourAndTwoStepsBeyondTwo", kNoon, {2024, 6, 15, 13, 0, 4}, 2, true, false},
        SameTimeCase{"TwoHoursAreNoShift", kNoon, {2024, 6, 15, 14, 0, 0}, 2, true, false},
        SameTimeCase{
            "TheShiftAlsoWithinTheTolerance", kNoon, {2024, 6, 15, 12, 0, 2}, 2, true, true},
        SameTimeCase{"AnHourAcrossMidnightAndYear",
                     {2023, 12, 31, 23, 30, 0},
                     {2024, 1, 1, 0, 30, 0},
                     0,
                     true,
                     true}),
    [](const auto& row) { return std::string(row.param.name); });

// A day of 86400 seconds at every step of the calendar, so the tolerance never meets a gap.
TEST(DosTimeSecondsTest, CountsEveryDayOnceFrom1980To2107) {
  int64_t previous = engine::DosTimeSeconds(engine::PackDosTime(1980, 1, 1, 0, 0, 0));
  EXPECT_EQ(previous, 0);
  for (int year = 1980; year <= 2107; ++year) {
    for (int month = 1; month <= 12; ++month) {
      const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
      const int days[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
      for (int day = 1; day <= days[month - 1]; ++day) {
        if (year == 1980 && month == 1 && day == 1)
          continue;
        const int64_t now = engine::DosTimeSeconds(engine::PackDosTime(year, month, day, 0, 0, 0));
        ASSERT_EQ(now - previous, 86400) << year << "-" << month << "-" << day;
        previous = now;
      }
    }
  }
}

}  // namespace
