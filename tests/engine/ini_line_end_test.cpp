#include <string>

#include <gtest/gtest.h>

#include "engine/ini_text.h"

namespace {

// Files written on old systems end their lines with a lone CR; the profile functions read
// them line by line like any other.
TEST(IniLineEndTest, ALoneCarriageReturnEndsALine) {
  const std::string text = "[Main]\rMask=*.txt\rSyncSub=0\r";
  EXPECT_EQ(engine::FindIniValue(text, "Main", "Mask"), "*.txt");
  EXPECT_EQ(engine::FindIniValue(text, "Main", "SyncSub"), "0");
  EXPECT_EQ(engine::FindIniValue("[Main]\rMask=a\r\nflDate=1\nflSize=0", "Main", "flSize"), "0");
}

TEST(IniLineEndTest, WritingKeepsLoneCarriageReturns) {
  EXPECT_EQ(engine::SetIniValue("[Main]\rMask=*.*\r", "Main", "Mask", "*.txt"),
            "[Main]\rMask=*.txt\r");
  EXPECT_EQ(engine::SetIniValue("[Main]\rMask=*.*\r", "Main", "flDate", "1"),
            "[Main]\rMask=*.*\rflDate=1\r");
  EXPECT_EQ(engine::SetIniValue("[Other]\rx=1\r", "Main", "flDate", "1"),
            "[Other]\rx=1\r[Main]\rflDate=1\r");
}

}  // namespace
