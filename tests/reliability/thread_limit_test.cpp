// Runs where copy threads cannot start: each thread's stack is sized after the stack limit,
// raised here to 1 GiB, and a limit on the address space leaves room for the program and
// none, or one, of those stacks. The run must copy everything all the same.
#include <sys/resource.h>

#include <ostream>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"

#if defined(__SANITIZE_ADDRESS__)
#define PARLOWEN_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PARLOWEN_ADDRESS_SANITIZER 1
#endif
#endif

namespace reliability {
namespace {

struct LimitCase {
  const char* name;
  rlim_t address_space;
};

void PrintTo(const LimitCase& c, std::ostream* os) {
  *os << c.name;
}

constexpr rlim_t kMiB = rlim_t{1} << 20;
constexpr rlim_t kThreadStack = rlim_t{1} << 30;

class ThreadLimitTest : public ReliabilityTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(ThreadLimitTest, CopiesEverythingWithTheThreadsThatStart) {
#ifdef PARLOWEN_ADDRESS_SANITIZER
  GTEST_SKIP() << "the address sanitizer reserves far more address space than the limit";
#endif
  if (std::thread::hardware_concurrency() < 2)
    GTEST_SKIP() << "one processor: the run starts no copy thread anyway";
  MakeFolder("src/sub");
  for (int i = 0; i < 40; ++i) {
    PutFile(PathOf(i % 2 ? "src/sub/f" : "src/f") + std::to_string(i),
            std::string(static_cast<size_t>(1000 + i), 'a' + static_cast<char>(i % 26)),
            kBaseTimeNs + i * kSecondNs);
  }
  const std::string settings = WriteDefaultSettings();
  StartOptions start;
  start.limits = {{RLIMIT_STACK, kThreadStack}, {RLIMIT_AS, GetParam().address_space}};
  std::string out, err;

  const Ended ended = RunToEnd(Command(settings), PathOf(), start, &out, &err);

  EXPECT_EQ(ended.signal, 0);
  EXPECT_EQ(ended.exit_code, 0) << err;
  EXPECT_EQ(err, "");
  EXPECT_THAT(TargetDifferences(), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Limits, ThreadLimitTest,
                         ::testing::Values(LimitCase{"NoThreadStarts", 256 * kMiB},
                                           LimitCase{"OneThreadStarts", kThreadStack + 256 * kMiB}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace reliability
