#include "engine/message_text.h"

#include <ostream>
#include <string>

#include <gtest/gtest.h>

namespace {

struct QuoteCase {
  const char* what;
  std::string text;
  std::string with_doubled_backslash;  // the POSIX form
  std::string with_plain_backslash;    // the Windows form
};

void PrintTo(const QuoteCase& c, std::ostream* os) {
  *os << c.what;
}

class QuoteControlBytesTest : public testing::TestWithParam<QuoteCase> {};

TEST_P(QuoteControlBytesTest, WritesControlBytesAsHexAndKeepsTheRest) {
  const QuoteCase& c = GetParam();
  EXPECT_EQ(engine::QuoteControlBytes(c.text, true), c.with_doubled_backslash);
  EXPECT_EQ(engine::QuoteControlBytes(c.text, false), c.with_plain_backslash);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, QuoteControlBytesTest,
    testing::Values(QuoteCase{"plain", "copy /s/a.txt -> /d//a.txt: Is a directory",
                              "copy /s/a.txt -> /d//a.txt: Is a directory",
                              "copy /s/a.txt -> /d//a.txt: Is a directory"},
                    QuoteCase{"line ends", "bad\nname\r", "bad\\x0aname\\x0d", "bad\\x0aname\\x0d"},
                    QuoteCase{"tab, escape, delete", "\t\x1b[31m\x7f", "\\x09\\x1b[31m\\x7f",
                              "\\x09\\x1b[31m\\x7f"},
                    QuoteCase{"first and last control bytes", std::string("\0\x1f ", 3),
                              "\\x00\\x1f ", "\\x00\\x1f "},
                    QuoteCase{"backslash", "a\\b", "a\\\\b", "a\\b"},
                    // Without the doubling these two would read alike.
                    QuoteCase{"backslash before x", "\\x0a", "\\\\x0a", "\\x0a"},
                    QuoteCase{"high bytes and UTF-8 kept", "\xff\xc3\xa9~", "\xff\xc3\xa9~",
                              "\xff\xc3\xa9~"},
                    QuoteCase{"empty", "", "", ""}));

}  // namespace
