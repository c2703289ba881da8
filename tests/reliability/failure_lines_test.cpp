// Failures of files whose names hold control bytes: each stays one line on standard error,
// beginning "parlocon: ", with those bytes written as \xNN and a backslash doubled, while the
// "Copy" lines on standard output keep the names' own bytes.
#include <algorithm>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

struct QuotedName {
  std::string raw;
  std::string quoted;
};

const QuotedName kNames[] = {
    {"bad\nname", "bad\\x0aname"},    {"cr\rname", "cr\\x0dname"},
    {"tab\tname", "tab\\x09name"},    {"esc\x1b[31mred", "esc\\x1b[31mred"},
    {"del\x7f", "del\\x7f"},          {"\n", "\\x0a"},
    {"back\\slash", "back\\\\slash"}, {"plain \xc3\xa9", "plain \xc3\xa9"},
};

class FailureLinesTest : public ReliabilityTest {};

TEST_F(FailureLinesTest, EachFailureIsOneLineNamingTheFileQuoted) {
  for (const char* target : {"dest1", "dest2", "master"}) MakeFolder(target);
  for (const QuotedName& name : kNames) {
    PutFile(WriteFile("src/" + name.raw, ""), name.raw, kBaseTimeNs);
    MakeFolder("dest1/" + name.raw);  // its copy into dest1 fails
  }
  const std::string settings = WriteDefaultSettings();

  const RunResult run = Run(settings);

  EXPECT_EQ(run.ended.exit_code, 3);
  std::vector<std::string> expected;
  for (const QuotedName& name : kNames) {
    const std::string source = PathOf("src") + "/" + name.quoted;
    expected.push_back("parlocon: copy " + source + " -> " + PathOf("dest1") + "//" + name.quoted +
                       ": Is a directory");
    expected.push_back("parlocon: master copy held back for " + source +
                       ": not every destination received it");
    EXPECT_THAT(run.out, ::testing::HasSubstr("Copy " + PathOf("src") + "/" + name.raw + "\r\n"));
  }
  EXPECT_THAT(run.err_lines, ::testing::UnorderedElementsAreArray(expected));
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2 * std::size(kNames));
}

}  // namespace
}  // namespace reliability
