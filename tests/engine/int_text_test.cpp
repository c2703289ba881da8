#include "engine/int_text.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

namespace {

struct IntCase {
  std::string text;
  std::optional<int32_t> value;
};

void PrintTo(const IntCase& c, std::ostream* os) {
  *os << "'" << c.text << "'";
}

class ParseInt32Test : public testing::TestWithParam<IntCase> {};

TEST_P(ParseInt32Test, ReadsDecimalAndHexOrFails) {
  EXPECT_EQ(engine::ParseInt32(GetParam().text), GetParam().value) << "'" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(Decimal, ParseInt32Test,
                         testing::Values(IntCase{"0", 0}, IntCase{"00", 0}, IntCase{"1", 1},
                                         IntCase{"-1", -1}, IntCase{"+7", 7}, IntCase{"  12", 12},
                                         IntCase{"-0", 0}, IntCase{"2147483647", INT32_MAX},
                                         IntCase{"-2147483648", INT32_MIN},
                                         IntCase{"0000002147483647", INT32_MAX},
                                         IntCase{"2147483648", std::nullopt},
                                         IntCase{"-2147483649", std::nullopt},
                                         IntCase{"99999999999999999999999", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    Hexadecimal, ParseInt32Test,
    testing::Values(IntCase{"$0", 0}, IntCase{"$FFFFFFFF", -1}, IntCase{"0x10", 16},
                    IntCase{"0X1f", 31}, IntCase{"x7fffffff", INT32_MAX},
                    IntCase{"X80000000", INT32_MIN}, IntCase{"  $a", 10},
                    // leading zeros are not significant digits
                    IntCase{"$000000000001", 1}, IntCase{"0x00000000FFFFFFFF", -1},
                    IntCase{"$100000000", std::nullopt}, IntCase{"0x123456789", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(NoNumber, ParseInt32Test,
                         testing::Values(IntCase{"", std::nullopt}, IntCase{"   ", std::nullopt},
                                         IntCase{"true", std::nullopt}, IntCase{"on", std::nullopt},
                                         IntCase{"1.0", std::nullopt}, IntCase{"1 ", std::nullopt},
                                         IntCase{"12a", std::nullopt}, IntCase{"+", std::nullopt},
                                         IntCase{"-", std::nullopt}, IntCase{"+-1", std::nullopt},
                                         IntCase{"0x", std::nullopt}, IntCase{"$", std::nullopt},
                                         IntCase{"x", std::nullopt}, IntCase{"-$1", std::nullopt},
                                         IntCase{"+0x1", std::nullopt},
                                         IntCase{"$1g", std::nullopt},
                                         IntCase{"0x0x1", std::nullopt},
                                         IntCase{"$-1", std::nullopt}, IntCase{"0b1", std::nullopt},
                                         IntCase{"1e3", std::nullopt}));

}  // namespace
