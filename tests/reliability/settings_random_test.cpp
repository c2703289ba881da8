// Random bytes, plain and shaped like settings files, through the settings reader and writer.
// The coverage-guided fuzzer runs the same check for much longer (fuzz/).
#include <iterator>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "tests/reliability/settings_check.h"
#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

class SettingsRandomTest : public ReliabilityTest {};

TEST_F(SettingsRandomTest, RandomAndSettingsShapedBytesKeepEveryProperty) {
  MoveIntoRam("16m");
  const std::string kPieces[] = {"[Main]",
                                 "[ main ]",
                                 "[Other]",
                                 "\n",
                                 "\r\n",
                                 "\r",
                                 "=",
                                 " ",
                                 "\t",
                                 "\"",
                                 "'",
                                 ";",
                                 "SourceFolder",
                                 "mask",
                                 "FLSIZE",
                                 "SyncSub",
                                 "DestFolder",
                                 "$",
                                 "0x",
                                 "-",
                                 "2147483648",
                                 "4294967295",
                                 "\xEF\xBB\xBF",
                                 "[",
                                 "]",
                                 std::string(2100, 'v'),
                                 std::string(1, '\0')};
  std::mt19937 random(20240607);
  const std::string scratch = PathOf("job.bfs");
  int checked = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string input;
    const int length = static_cast<int>(random() % 300);
    const bool shaped = i % 2 == 0;
    while (static_cast<int>(input.size()) < length) {
      if (shaped && random() % 3 != 0) {
        input += kPieces[random() % std::size(kPieces)];
      } else {
        input.push_back(static_cast<char>(random()));
      }
    }
    std::string failed = CheckSettingsInput(reinterpret_cast<const uint8_t*>(input.data()),
                                            input.size(), scratch, i % 10 == 0);
    ASSERT_EQ(failed, "") << "input " << i << ": " << ::testing::PrintToString(input);
    ++checked;
  }
  EXPECT_EQ(checked, 20000);
}

}  // namespace
}  // namespace reliability
