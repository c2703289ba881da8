#include "engine/platform/posix/local_dos_time.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "engine/dos_time.h"

namespace {

// Runs `check` in a child process with TZ set to `zone` and gives its exit code, so the zone
// and the offset taken stay out of this process.
int InZone(const char* zone, int (*check)()) {
  pid_t pid = fork();
  if (pid == 0) {
    setenv("TZ", zone, 1);
    _exit(check());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Times of any season against the offset the local clock has now.
int MismatchesWithTheOffsetTakenNow() {
  platform::TakeCurrentLocalOffset();
  const time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  if (platform::LocalOffsetInUse() != local.tm_gmtoff)
    return 101;
  std::mt19937_64 random(42);
  int mismatches = 0;
  for (int i = 0; i < 200000; ++i) {
    const time_t t = static_cast<time_t>(random() % 6000000000ULL) - 1000000000LL;
    const time_t shifted = t + local.tm_gmtoff;
    struct tm at {};
    gmtime_r(&shifted, &at);
    const uint32_t want = engine::PackDosTime(at.tm_year + 1900, at.tm_mon + 1, at.tm_mday,
                                              at.tm_hour, at.tm_min, at.tm_sec);
    if (platform::LocalDosTime(t) != want)
      ++mismatches;
  }
  return mismatches > 100 ? 100 : mismatches;
}

// Starts in UTC; the zone changes between two runs of one process.
int TakesTheNewOffsetAtTheNextStartOnly() {
  platform::TakeCurrentLocalOffset();
  if (platform::LocalOffsetInUse() != 0)
    return 1;
  setenv("TZ", "<+0130>-1:30", 1);
  if (platform::LocalOffsetInUse() != 0)
    return 2;
  platform::TakeCurrentLocalOffset();
  return platform::LocalOffsetInUse() == 5400 ? 0 : 3;
}

// Berlin, 2023-10-29: 02:30 summer time and 02:30 winter time, an hour apart.
int KeepsTheRepeatedHourApart() {
  platform::TakeCurrentLocalOffset();
  const time_t summer = 1698539400;  // 00:30 UTC
  return platform::LocalDosTime(summer) != platform::LocalDosTime(summer + 3600) ? 0 : 1;
}

// Every time converts with the offset taken at the start of the run, the local clock's offset
// at that moment, whatever offset the zone gives the time itself.
TEST(LocalDosTimeTest, ConvertsEveryTimeWithTheOffsetTakenAtTheStart) {
  for (const char* zone : {"UTC", "Europe/Berlin", "America/St_Johns", "Australia/Lord_Howe",
                           "Asia/Kathmandu", "<+0130>-1:30"}) {
    EXPECT_EQ(InZone(zone, MismatchesWithTheOffsetTakenNow), 0) << zone;
  }
  EXPECT_EQ(InZone("Europe/Berlin", KeepsTheRepeatedHourApart), 0);
}

// The window runs many times in one process: each run takes the offset afresh.
TEST(LocalDosTimeTest, EachStartTakesTheOffsetAfresh) {
  EXPECT_EQ(InZone("UTC", TakesTheNewOffsetAtTheNextStartOnly), 0);
}

TEST(LocalDosTimeTest, ClampsTimesOutsideTheRangeItCanHold) {
  EXPECT_EQ(platform::LocalDosTime(-86400LL * 365 * 20), engine::PackDosTime(1980, 1, 1, 0, 0, 0));
  EXPECT_EQ(platform::LocalDosTime(5000000000LL), engine::PackDosTime(2107, 12, 31, 23, 59, 58));
}

// Some file systems store any 64-bit time; such a file must still give one of the ends.
TEST(LocalDosTimeTest, TakesEveryTimeAFileCanCarry) {
  const uint32_t earliest = engine::PackDosTime(1980, 1, 1, 0, 0, 0);
  const uint32_t latest = engine::PackDosTime(2107, 12, 31, 23, 59, 58);
  EXPECT_EQ(platform::LocalDosTime(std::numeric_limits<time_t>::min()), earliest);
  EXPECT_EQ(platform::LocalDosTime(-1), earliest);
  EXPECT_EQ(platform::LocalDosTime(0), earliest);
  EXPECT_EQ(platform::LocalDosTime(std::numeric_limits<time_t>::max()), latest);
}

}  // namespace
