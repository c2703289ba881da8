// What the bottom strip shows of a run: the gauge's percentage, when it is painted, and the
// failure summary shown after the run.
#include "form/run_display.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/form/fake_view.h"
#include "tests/form/form_test.h"

namespace {

using ::testing::ElementsAre;

TEST(RunDisplayTest, PercentIsTruncatedAndClamped) {
  const struct {
    int64_t maximum;
    int64_t progress;
    int percent;
  } rows[] = {
      {100, 0, 0},
      {3, 1, 33},
      {3, 2, 66},
      {7, 7, 100},
      {0, 0, 0},
      {10, 15, 100},  // past the end: held at the maximum
      {10, -4, 0},    // below the start: held at 0
      {4'000'000'000'000, 1'000'000'000'000, 25},
  };
  for (const auto& row : rows) {
    form::Gauge gauge;
    gauge.SetMaximum(row.maximum);
    gauge.SetProgress(row.progress);
    EXPECT_EQ(gauge.Percent(), row.percent) << row.maximum << " " << row.progress;
    EXPECT_TRUE(gauge.progress() >= 0 && gauge.progress() <= gauge.maximum());
  }
  // Lowering the maximum pulls the progress back.
  form::Gauge gauge;
  gauge.SetProgress(80);
  gauge.SetMaximum(40);
  EXPECT_EQ(gauge.progress(), 40);
  EXPECT_EQ(gauge.Percent(), 100);
}

TEST(RunDisplayTest, GaugeIsPaintedOnlyWhenItsPercentChanges) {
  form_tests::FakeView view;
  form::Gauge gauge;
  form::RunDisplay display(view, gauge);
  display.Start();
  display.Total(1000);
  for (int i = 0; i < 1000; ++i) display.Step();
  display.Finish();
  ASSERT_EQ(view.run_log.size(), 103u);  // shown, 0 to 100, hidden
  EXPECT_EQ(view.run_log[0], "shown");
  for (int percent = 0; percent <= 100; ++percent) {
    EXPECT_EQ(view.run_log[1 + percent], "percent " + std::to_string(percent));
  }
  EXPECT_EQ(view.run_log.back(), "hidden");

  // The next run starts at 0 of this run's maximum; the gauge, shown again, is painted.
  view.run_log.clear();
  display.Start();
  EXPECT_THAT(view.run_log, ElementsAre("shown", "percent 0"));
  EXPECT_EQ(gauge.maximum(), 1000);
}

TEST(RunDisplayTest, FailureSummaryNamesTheFirstAsTheConsoleDoes) {
  const bool windows = form_tests::OnWindows();
  const struct {
    const char* failure;
    const char* shown;
  } rows[] = {
      {"copy /s/bad\nname -> /d", "copy /s/bad\\x0aname -> /d"},
      {"copy /s/a\r\tb", "copy /s/a\\x0d\\x09b"},
      {"copy /s/esc\x1b[1m", "copy /s/esc\\x1b[1m"},
      // The backslash is doubled where it is not the path separator.
      {"copy /s/back\\slash", windows ? "copy /s/back\\slash" : "copy /s/back\\\\slash"},
      {"copy /s/plain name", "copy /s/plain name"},
  };
  for (const auto& row : rows) {
    form_tests::FakeView view;
    form::Gauge gauge;
    form::RunDisplay display(view, gauge);
    EXPECT_EQ(display.FailureSummary(), "");
    display.Failure(row.failure);
    EXPECT_EQ(display.FailureSummary(),
              std::string("1 operation of the run failed:\n") + row.shown);
    display.Failure("flush /d: Input/output error");
    EXPECT_EQ(display.failures(), 2);
    EXPECT_EQ(display.FailureSummary(),
              std::string("2 operations of the run failed. The first:\n") + row.shown);
  }
}

}  // namespace
