// Standard streams closed at the start, as a scheduler or a careless wrapper leaves them, on a
// run whose failure lines come while copy threads have temporary files open. A file opened
// into a free standard slot would take the lines meant for that stream and be renamed into
// place; every target must hold exactly the source's files instead.
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <ostream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

constexpr int kFiles = 300;  // every other one meets a folder in dest1 and fails there
constexpr int kRounds = 4;

struct ClosedCase {
  const char* name;
  bool closed[3];  // standard input, output, error
  int exit_code;
};

void PrintTo(const ClosedCase& c, std::ostream* os) {
  *os << c.name;
}

std::string NameOf(int i) {
  return "f" + std::to_string(i);
}

bool Blocked(int i) {
  return i % 2 == 1;
}

class ClosedStreamsTest : public ReliabilityTest, public ::testing::WithParamInterface<ClosedCase> {
 protected:
  void MakeTargets() {
    for (const char* target : {"dest1", "dest2", "master"}) {
      std::filesystem::remove_all(PathOf(target));
      MakeFolder(target);
    }
    for (int i = 0; i < kFiles; ++i) {
      if (Blocked(i))
        MakeFolder("dest1/" + NameOf(i));
    }
  }
};

TEST_P(ClosedStreamsTest, EveryTargetHoldsExactlyTheSourceFiles) {
  const ClosedCase& c = GetParam();
  MoveIntoRam("64m");
  MakeFolder("src");
  for (int i = 0; i < kFiles; ++i) {
    std::string content(static_cast<size_t>(4096 + i * 37 % 16384), 'a');
    for (size_t at = 0; at < content.size(); at += 61) content[at] = static_cast<char>(i);
    PutFile(PathOf("src/" + NameOf(i)), content, kBaseTimeNs + i * kSecondNs);
  }
  const std::string settings = WriteDefaultSettings();
  const Tree source = ReadTree(PathOf("src"));
  Tree delivered = source;  // what dest1 and the master get: no file that failed in dest1
  for (int i = 0; i < kFiles; ++i) {
    if (Blocked(i))
      delivered.files.erase(NameOf(i));
  }
  const bool copies = c.exit_code != 1;
  StartOptions start;
  std::copy(std::begin(c.closed), std::end(c.closed), std::begin(start.closed));

  for (int round = 1; round <= kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    MakeTargets();
    std::string out, err;
    const Ended ended = RunToEnd(Command(settings), PathOf(), start, &out, &err);

    EXPECT_EQ(ended.exit_code, c.exit_code) << err;
    EXPECT_THAT(Differences(copies ? delivered : Tree{}, ReadTree(PathOf("dest1"))),
                ::testing::IsEmpty());
    EXPECT_THAT(Differences(copies ? source : Tree{}, ReadTree(PathOf("dest2"))),
                ::testing::IsEmpty());
    EXPECT_THAT(Differences(copies ? delivered : Tree{}, ReadTree(PathOf("master"))),
                ::testing::IsEmpty());
    if (c.closed[2])
      continue;
    if (copies) {
      // A copy failed in dest1 and a held-back master copy, for each blocked file.
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), kFiles);
      EXPECT_THAT(err, ::testing::StartsWith("parlocon: "));
      EXPECT_THAT(err, ::testing::Not(::testing::HasSubstr("\n\n")));
    } else {
      EXPECT_EQ(err, "Exception EInOutError in module parlocon at 00000000.\nI/O error 9.\n");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, ClosedStreamsTest,
    ::testing::Values(ClosedCase{"Error", {false, false, true}, 3},
                      // The input's slot is taken first, so a temporary file finds the error's.
                      ClosedCase{"InputAndError", {true, false, true}, 3},
                      ClosedCase{"Input", {true, false, false}, 3},
                      // Without output the first line fails before anything is copied.
                      ClosedCase{"Output", {false, true, false}, 1},
                      ClosedCase{"All", {true, true, true}, 1}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace reliability
