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

// The converter keeps zone offsets per day; it must agree with the C library's local time for
// any time, also around changeovers and in zones with half-hour offsets. Each zone is checked in
// a child process, since the kept offsets belong to the zone the process started with.
int MismatchesIn(const char* zone) {
  pid_t pid = fork();
  if (pid == 0) {
    setenv("TZ", zone, 1);
    tzset();
    std::mt19937_64 random(42);
    int mismatches = 0;
    for (int i = 0; i < 200000; ++i) {
      time_t t = static_cast<time_t>(random() % 6000000000ULL) - 1000000000LL;
      struct tm local {};
      localtime_r(&t, &local);
      uint32_t want = engine::PackDosTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                          local.tm_hour, local.tm_min, local.tm_sec);
      if (platform::LocalDosTime(t) != want) ++mismatches;
    }
    _exit(mismatches > 100 ? 100 : mismatches);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(LocalDosTimeTest, AgreesWithLocalTimeInEveryKindOfZone) {
  for (const char* zone : {"UTC", "Europe/Berlin", "America/St_Johns", "Australia/Lord_Howe",
                           "Asia/Kathmandu", "<+0130>-1:30"}) {
    EXPECT_EQ(MismatchesIn(zone), 0) << zone;
  }
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
