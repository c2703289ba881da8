// Two runs of the same settings at once, as overlapping scheduled jobs make them: neither may
// spoil the other's copies, and together they leave every target complete.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

class ConcurrentRunsTest : public ReliabilityTest {};

TEST_F(ConcurrentRunsTest, TwoRunsAtOnceBothSucceedAndCompleteEveryTarget) {
  MoveIntoRam("256m");
  for (int f = 0; f < 20; ++f) {
    MakeFolder("src/d" + std::to_string(f));
    for (int i = 0; i < 100; ++i) {
      PutFile(PathOf("src/d" + std::to_string(f) + "/f" + std::to_string(i)),
              std::string(static_cast<size_t>(i * 37), 'x'), kBaseTimeNs + i * kSecondNs);
    }
  }
  const std::string settings = WriteDefaultSettings();
  for (int round = 0; round < 3; ++round) {
    Process a(Command(settings), PathOf(), OutputKind::kNull);
    Process b(Command(settings), PathOf(), OutputKind::kNull);
    const Ended a_ended = a.Wait(), b_ended = b.Wait();
    EXPECT_EQ(a_ended.exit_code, 0) << a.err();
    EXPECT_EQ(b_ended.exit_code, 0) << b.err();
    EXPECT_THAT(TargetDifferences(), ::testing::IsEmpty());
    // The next round changes every file again.
    for (int f = 0; f < 20; ++f) {
      for (int i = 0; i < 100; ++i) {
        PutFile(PathOf("src/d" + std::to_string(f) + "/f" + std::to_string(i)),
                std::string(static_cast<size_t>(i * 37 + round + 1), 'y'),
                kBaseTimeNs + (round + 1) * 1000 * kSecondNs);
      }
    }
  }
}

}  // namespace
}  // namespace reliability
