#include "console/command_line.h"

#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

struct SplitCase {
  const char* name;
  std::string line;
  std::vector<std::string> expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << c.name;
}

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, SplitsLikeTheProgramAlwaysHas) {
  EXPECT_THAT(console::SplitCommandLine(GetParam().line), ElementsAreArray(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandLineTest,
    ::testing::Values(
        SplitCase{"Empty", "", {}}, SplitCase{"BlanksOnly", " \t ", {}},
        SplitCase{"PlainWords", "prog a.bfs b", {"prog", "a.bfs", "b"}},
        SplitCase{
            "RunsOfBlanksAndControlCharacters", "prog \t\x01\x1f a.bfs\r\n", {"prog", "a.bfs"}},
        SplitCase{"QuotesGroupAndAreDropped", "prog \"my job.bfs\" x", {"prog", "my job.bfs", "x"}},
        SplitCase{"QuotedStretchInsideAWord",
                  "prog C:\\my\" jobs\"\\a.bfs",
                  {"prog", "C:\\my jobs\\a.bfs"}},
        SplitCase{"UnclosedQuoteRunsToTheEnd", "prog \"my job.bfs", {"prog", "my job.bfs"}},
        SplitCase{
            "EmptyPairWhereAnArgumentBeginsIsSkipped", "prog \"\" \"\"a.bfs", {"prog", "a.bfs"}},
        SplitCase{"EmptyPairInsideAWordJoinsIt", "prog a\"\"b", {"prog", "ab"}},
        SplitCase{
            "BackslashBeforeAQuoteIsOrdinary", "prog \"C:\\dir\\\" b", {"prog", "C:\\dir\\", "b"}},
        SplitCase{"BytesAboveAsciiAreNoSeparators",
                  "prog \xe9t\xe9.bfs\xa0x",
                  {"prog", "\xe9t\xe9.bfs\xa0x"}}),
    [](const ::testing::TestParamInfo<SplitCase>& c) { return std::string(c.param.name); });

TEST(SplitCommandLineLengthTest, ALongArgumentIsTakenWhole) {
  // Longer than any path the system takes: a name is never cut into two arguments.
  const std::string long_word(40000, 'a');
  EXPECT_THAT(console::SplitCommandLine("p " + long_word + " b"), ElementsAre("p", long_word, "b"));
  EXPECT_THAT(console::SplitCommandLine("p \"" + long_word + " b\""),
              ElementsAre("p", long_word + " b"));
}

}  // namespace
