#include <gtest/gtest.h>

#include "engine/wildcard.h"

namespace {

// A mask ending in ".*" also matches what the rest of it matches, by the same rules.
TEST(WildcardDotStarTest, EveryTrailingDotStarMayMatchNothing) {
  struct Case {
    const char* mask;
    const char* name;
    bool matches;
  } cases[] = {
      {"*.*.*", "noext", true}, {"*.*.*", "a.b", true},     {"a.*.*", "a", true},
      {"a.*.*", "a.b", true},   {"a.*.*", "b", false},      {".*", "a", false},
      {".*.*", ".x", true},     {"*.txt.*", "a.txt", true}, {"*.txt.*", "a", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(engine::MatchesMask(c.mask, c.name), c.matches) << c.mask << " " << c.name;
  }
  EXPECT_TRUE(engine::MaskMatchesEverything("*.*.*"));
  EXPECT_FALSE(engine::MaskMatchesEverything("a.*.*"));
}

}  // namespace
