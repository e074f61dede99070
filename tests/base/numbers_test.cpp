#include "base/Numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace pspkvx {
namespace {

TEST(ParseNumber, TakesTheWholeTextOrNothing) {
  const struct {
    std::string text;
    int base;
    std::optional<long long> expected;
  } kCases[] = {
      {"0", 10, 0},
      {"8377", 10, 8377},
      {"-12", 10, -12},
      {"010", kDecimalOrHex, 10},  // never octal
      {"0x1F", kDecimalOrHex, 31},
      {"0X1f", kDecimalOrHex, 31},
      {"-0x10", kDecimalOrHex, -16},
      {"-9223372036854775808", kDecimalOrHex, std::numeric_limits<long long>::min()},
      {"9223372036854775807", 10, std::numeric_limits<long long>::max()},
      {"9223372036854775808", 10, std::nullopt},
      {"", 10, std::nullopt},
      {"-", 10, std::nullopt},
      {"+5", 10, std::nullopt},
      {" 5", 10, std::nullopt},
      {"5 ", 10, std::nullopt},
      {"5x", 10, std::nullopt},
      {"0x", kDecimalOrHex, std::nullopt},
      {"0x-5", kDecimalOrHex, std::nullopt},
      {"--5", kDecimalOrHex, std::nullopt},
      {"1e3", 10, std::nullopt},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseNumber<long long>(c.text, c.base), c.expected);
  }
  EXPECT_EQ(ParseNumber<uint64_t>("18446744073709551615"), UINT64_MAX);
  EXPECT_EQ(ParseNumber<uint64_t>("18446744073709551616"), std::nullopt);
  EXPECT_EQ(ParseNumber<uint32_t>("-1"), std::nullopt);
  EXPECT_EQ(ParseNumberIn<int>("4", 0, 3), std::nullopt);
  EXPECT_EQ(ParseNumberIn<int>("3", 0, 3), 3);
}

TEST(ReadLeadingNumber, ReadsAsFarAsTheDigitsGo) {
  const auto psp = ReadLeadingNumber<uint64_t>("054c&pid_01c8", 16);
  EXPECT_EQ(psp.value, 0x54Cu);
  EXPECT_EQ(psp.digits, 4u);
  EXPECT_FALSE(psp.tooLarge);
  const auto none = ReadLeadingNumber<uint64_t>("&pid", 16);
  EXPECT_EQ(none.value, 0u);
  EXPECT_EQ(none.digits, 0u);
  const auto huge = ReadLeadingNumber<uint64_t>("1234567890123456789abcdef#", 16);
  EXPECT_TRUE(huge.tooLarge);
  EXPECT_EQ(huge.digits, 25u);
}

}  // namespace
}  // namespace pspkvx
