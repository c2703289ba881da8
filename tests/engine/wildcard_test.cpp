#include "engine/wildcard.h"

#include <ostream>
#include <string>

#include <gtest/gtest.h>

namespace {

struct MaskCase {
  std::string mask;
  std::string name;
  bool matches;
};

void PrintTo(const MaskCase& c, std::ostream* os) {
  *os << c.mask << " on " << c.name;
}

class MatchesMaskTest : public testing::TestWithParam<MaskCase> {};

TEST_P(MatchesMaskTest, MatchesAsTheFileSearchDoes) {
  const MaskCase& c = GetParam();
  EXPECT_EQ(engine::MatchesMask(c.mask, c.name), c.matches) << c.mask << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Stars, MatchesMaskTest,
    testing::Values(MaskCase{"*", "x", true}, MaskCase{"*.*", "readme.txt", true},
                    MaskCase{"*.*", "Makefile", true}, MaskCase{"*.*", ".hidden", true},
                    MaskCase{"*.txt", "a.txt", true}, MaskCase{"*.txt", "a.txt.bak", false},
                    MaskCase{"*.txt", ".txt", true}, MaskCase{"a*", "a", true},
                    MaskCase{"*b*", "abc", true}, MaskCase{"*x", "xx", true},
                    MaskCase{"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
                    MaskCase{"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", true}));

INSTANTIATE_TEST_SUITE_P(QuestionMarks, MatchesMaskTest,
                         testing::Values(MaskCase{"a?c", "abc", true}, MaskCase{"a?c", "ac", false},
                                         MaskCase{"a?c", "abbc", false},
                                         MaskCase{"*.t?t", "a.txt", true},
                                         MaskCase{"???", "ab", false}));

INSTANTIATE_TEST_SUITE_P(DotStarAlsoMatchesWithoutTheDot, MatchesMaskTest,
                         testing::Values(MaskCase{"a.*", "a", true}, MaskCase{"a.*", "a.b", true},
                                         MaskCase{"a.*", "a.", true}, MaskCase{"a.*", "ab", false},
                                         MaskCase{".*", "a", false},
                                         MaskCase{".*", ".profile", true}));

INSTANTIATE_TEST_SUITE_P(
    LettersAndOtherCharacters, MatchesMaskTest,
    testing::Values(MaskCase{"README", "readme", true}, MaskCase{"*.TXT", "a.txt", true},
                    MaskCase{"[ab]", "a", false}, MaskCase{"[ab]", "[AB]", true},
                    MaskCase{"\xE9", "\xC9", false},  // only A-Z fold
                    MaskCase{"a;b", "a;b", true}, MaskCase{"*.txt;*.doc", "x.doc", false},
                    MaskCase{"", "a", false}));

struct EverythingCase {
  std::string mask;
  bool everything;
};

void PrintTo(const EverythingCase& c, std::ostream* os) {
  *os << c.mask;
}

class MaskMatchesEverythingTest : public testing::TestWithParam<EverythingCase> {};

// The shortcut must agree with the matcher: when it says "every name", every name matches.
TEST_P(MaskMatchesEverythingTest, AgreesWithTheMatcher) {
  const EverythingCase& c = GetParam();
  EXPECT_EQ(engine::MaskMatchesEverything(c.mask), c.everything) << c.mask;
  if (!c.everything)
    return;
  for (const char* name : {"a", "a.b", ".x", "no dot", "a.b.c", "x."}) {
    EXPECT_TRUE(engine::MatchesMask(c.mask, name)) << c.mask << " vs " << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Masks, MaskMatchesEverythingTest,
                         testing::Values(EverythingCase{"*", true}, EverythingCase{"*.*", true},
                                         EverythingCase{"**.*", true},
                                         EverythingCase{"*.txt", false}, EverythingCase{"", false},
                                         EverythingCase{".*", false}, EverythingCase{"?", false},
                                         EverythingCase{"*.*.*", true}));

}  // namespace
