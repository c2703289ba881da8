// The keys beyond the window's fourteen: read by the rules of the switches, held to safe bounds,
// and changed for one run by the command line's overrides.
#include "engine/load_options.h"

#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "engine/option_overrides.h"
#include "tests/support/memory_file_system.h"

namespace {

using testing_support::MemoryFileSystem;
using testing_support::Native;

struct KeyCase {
  const char* line;  // in [Main]; empty: the key is missing
  int time_tolerance;
  bool hour_shift;
  const char* exclude;
  int retries;
  int retry_wait;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
  *os << '"' << c.line << '"';
}

class NewKeysTest : public testing::TestWithParam<KeyCase> {};

TEST_P(NewKeysTest, ReadAsIntegersOrTheirDefaults) {
  const KeyCase& c = GetParam();
  MemoryFileSystem fs;
  fs.AddFile(Native("/job.bfs"), std::string("[Main]\nMask=*.txt\n") + c.line + "\n");
  engine::TOptionSync options;
  engine::LoadOptions(fs, Native("/job.bfs"), options);
  EXPECT_EQ(options.TimeTolerance, c.time_tolerance);
  EXPECT_EQ(options.IgnoreHourShift, c.hour_shift);
  EXPECT_EQ(options.Exclude, c.exclude);
  EXPECT_EQ(options.Retries, c.retries);
  EXPECT_EQ(options.RetryWait, c.retry_wait);
  EXPECT_EQ(options.Mask, "*.txt");
}

INSTANTIATE_TEST_SUITE_P(
    Values, NewKeysTest,
    testing::Values(
        KeyCase{"", 0, false, "", 0, 5}, KeyCase{"TimeTolerance=2", 2, false, "", 0, 5},
        KeyCase{"timetolerance = $10 ", 16, false, "", 0, 5},
        KeyCase{"TimeTolerance=-3", 0, false, "", 0, 5},
        KeyCase{"TimeTolerance=2147483647", INT_MAX, false, "", 0, 5},
        KeyCase{"TimeTolerance=2 s", 0, false, "", 0, 5},
        KeyCase{"IgnoreHourShift=1", 0, true, "", 0, 5},
        KeyCase{"IgnoreHourShift=-1", 0, true, "", 0, 5},
        KeyCase{"IgnoreHourShift=yes", 0, false, "", 0, 5},
        KeyCase{"Exclude= *.tmp;build ", 0, false, "*.tmp;build", 0, 5},
        KeyCase{"Exclude=\"*.o\"", 0, false, "*.o", 0, 5}, KeyCase{"Retries=3", 0, false, "", 3, 5},
        KeyCase{"Retries=100", 0, false, "", 100, 5}, KeyCase{"Retries=101", 0, false, "", 100, 5},
        KeyCase{"Retries=-1", 0, false, "", 0, 5}, KeyCase{"Retries=three", 0, false, "", 0, 5},
        KeyCase{"RetryWait=0", 0, false, "", 0, 0}, KeyCase{"RetryWait=x1E", 0, false, "", 0, 30},
        KeyCase{"RetryWait=-5", 0, false, "", 0, 0},
        KeyCase{"RetryWait=3601", 0, false, "", 0, 3600},
        KeyCase{"RetryWait=soon", 0, false, "", 0, 5}));

TEST(OptionOverridesTest, ChangeOnlyWhatTheyNameWithinTheSameBounds) {
  engine::TOptionSync from_file;
  from_file.Exclude = "*.tmp";
  from_file.TimeTolerance = 4;
  from_file.Retries = 2;
  from_file.IgnoreHourShift = true;

  engine::TOptionSync unchanged = from_file;
  engine::ApplyOverrides(engine::OptionOverrides(), unchanged);
  EXPECT_EQ(unchanged, from_file);

  engine::OptionOverrides overrides;
  overrides.time_tolerance = 0;
  overrides.exclude = {"build", "*.o;*.a"};
  overrides.retries = 1000;
  overrides.retry_wait = -1;
  engine::TOptionSync changed = from_file;
  engine::ApplyOverrides(overrides, changed);
  EXPECT_EQ(changed.TimeTolerance, 0);
  EXPECT_TRUE(changed.IgnoreHourShift);  // an option can only switch it on
  EXPECT_EQ(changed.Exclude, "*.tmp;build;*.o;*.a");
  EXPECT_EQ(changed.Retries, engine::kMostRetries);
  EXPECT_EQ(changed.RetryWait, 0);

  engine::TOptionSync empty_file;
  overrides = {};
  overrides.exclude = {"a"};
  overrides.ignore_hour_shift = true;
  engine::ApplyOverrides(overrides, empty_file);
  EXPECT_EQ(empty_file.Exclude, "a");
  EXPECT_TRUE(empty_file.IgnoreHourShift);
}

}  // namespace
