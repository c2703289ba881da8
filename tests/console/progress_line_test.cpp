// The progress line's text, and how it is drawn, cleared and brought back on a clock the test
// moves by hand.
#include "console/progress_line.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

struct TextCase {
  const char* name;
  console::ProgressFigures figures;
  const char* text;
};

void PrintTo(const TextCase& c, std::ostream* os) {
  *os << c.name;
}

class ProgressTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(ProgressTextTest, SaysCopiesBytesRateAndTimeLeft) {
  EXPECT_EQ(console::ProgressText(GetParam().figures), GetParam().text);
}

constexpr uint64_t kMiB = 1 << 20;

INSTANTIATE_TEST_SUITE_P(
    Figures, ProgressTextTest,
    testing::Values(
        TextCase{"AtTheStart", {0, 6, 0, 3072, 0, false}, "0/6 copies, 0 B/3.0 KiB"},
        TextCase{"BeforeASecondNoRateNorTimeLeft",
                 {3, 6, 1536, 3072, 0.9, false},
                 "3/6 copies, 1.5 KiB/3.0 KiB"},
        TextCase{"TimeLeftByBytes",
                 {1, 4, 100 * kMiB, 400 * kMiB, 10, false},
                 "1/4 copies, 100.0 MiB/400.0 MiB, 10.0 MiB/s, 0:30 left"},
        TextCase{"TimeLeftRoundedUp", {1, 3, 0, 0, 1, false}, "1/3 copies, 0 B/0 B, 0:02 left"},
        TextCase{"ByCopiesWithoutBytes", {2, 8, 0, 0, 20, false}, "2/8 copies, 0 B/0 B, 1:00 left"},
        TextCase{"Hours",
                 {1, 2, 5ull << 40, 10ull << 40, 4000, false},
                 "1/2 copies, 5.0 TiB/10.0 TiB, 1.3 GiB/s, 1:06:40 left"},
        TextCase{"NothingDoneYetNoTimeLeft", {0, 2, 0, 2048, 5, false}, "0/2 copies, 0 B/2.0 KiB"},
        TextCase{"Finished",
                 {6, 6, 3072, 3072, 0.4, true},
                 "6/6 copies, 3.0 KiB/3.0 KiB, 7.5 KiB/s, done in 0:00"},
        TextCase{"FinishedAfterAMinute",
                 {2, 2, 1023, 1023, 61.4, true},
                 "2/2 copies, 1023 B/1023 B, 16 B/s, done in 1:01"}),
    [](const auto& row) { return std::string(row.param.name); });

// New figures at most every quarter second; a line meant for the same terminal clears it and
// brings back what was drawn; the end leaves the final figures on a line of their own.
TEST(ProgressLineTest, DrawsAtMostFourTimesASecondAndMakesWayForOtherLines) {
  double now = 100;
  std::vector<std::string> written;
  console::ProgressLine line([&](const std::string& bytes) { written.push_back(bytes); },
                             [&] { return now; });
  line.TotalSize(4096);
  line.Total(4);
  EXPECT_THAT(written, testing::ElementsAre("\r0/4 copies, 0 B/4.0 KiB"));

  now = 100.1;
  line.StepSize(1024);
  line.Step();
  EXPECT_EQ(written.size(), 1u) << "too soon for new figures";
  line.Clear();
  line.Show();
  EXPECT_THAT(written,
              testing::ElementsAre("\r0/4 copies, 0 B/4.0 KiB", "\r" + std::string(23, ' ') + "\r",
                                   "\r0/4 copies, 0 B/4.0 KiB"));

  now = 101.5;
  line.StepSize(2048);
  line.Step();
  EXPECT_EQ(written.back(), "\r2/4 copies, 3.0 KiB/4.0 KiB, 2.0 KiB/s, 0:01 left");
  now = 101.6;
  line.Step();
  EXPECT_EQ(written.back(), "\r2/4 copies, 3.0 KiB/4.0 KiB, 2.0 KiB/s, 0:01 left");

  written.clear();
  now = 102;
  line.StepSize(1024);
  line.Step();
  line.Finish();
  EXPECT_THAT(written,
              testing::ElementsAre("\r4/4 copies, 4.0 KiB/4.0 KiB, 2.0 KiB/s, 0:00 left",
                                   "\r4/4 copies, 4.0 KiB/4.0 KiB, 2.0 KiB/s, done in 0:02", "\n"));
  line.Clear();
  line.Show();
  EXPECT_EQ(written.size(), 3u) << "nothing after the end";
}

// A shorter text blanks what the longer one left.
TEST(ProgressLineTest, BlanksWhatALongerLineLeft) {
  double now = 0;
  std::vector<std::string> written;
  console::ProgressLine line([&](const std::string& bytes) { written.push_back(bytes); },
                             [&] { return now; });
  line.TotalSize(3072 * 1024);
  line.Total(2);
  now = 1;
  line.StepSize(1000 * 1024);
  line.Step();
  const std::string longer = "1/2 copies, 1000.0 KiB/3.0 MiB, 1000.0 KiB/s, 0:03 left";
  ASSERT_EQ(written.back(), "\r" + longer);
  now = 2;
  line.StepSize(2072 * 1024);
  line.Step();
  const std::string shorter = "2/2 copies, 3.0 MiB/3.0 MiB, 1.5 MiB/s, 0:00 left";
  EXPECT_EQ(written.back(), "\r" + shorter + std::string(longer.size() - shorter.size(), ' '));
  line.Clear();
  EXPECT_EQ(written.back(), "\r" + std::string(shorter.size(), ' ') + "\r");
}

}  // namespace
