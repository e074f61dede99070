#include "base/StringFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/StringTable.h"

namespace pspkvx {
namespace {

TEST(TryFormat, FillsPlaceholdersOnlyWhenTheValuesMatch) {
  EXPECT_EQ(TryFormat("%2.1fMb free (%iMb)", {3.25, 1074}), "3.2Mb free (1074Mb)");
  EXPECT_EQ(TryFormat("%2.0f%% (%i votes)", {66.6, 3}), "67% (3 votes)");
  EXPECT_EQ(TryFormat("[%5i|%-5i|%05i|%.3i]", {42, 42, 42, 7}), "[   42|42   |00042|007]");
  EXPECT_EQ(TryFormat("[%6.2f|%-6.1f|%06.2f|%f]", {3.14159, 2.5, 1.5, 0.5}),
            "[  3.14|2.5   |001.50|0.500000]");
  EXPECT_EQ(TryFormat("[%4s|%-4s|%.2s]", {"ab", "ab", "abcdef"}), "[  ab|ab  |ab]");
  // Whole numbers are 64-bit: sizes above 4 GiB print in full.
  EXPECT_EQ(TryFormat("%i of %d", {uint64_t(5000000000), -1}), "5000000000 of -1");
  EXPECT_EQ(TryFormat("no placeholder, 100%%", {}), "no placeholder, 100%");

  const struct {
    const char* format;
    std::initializer_list<FormatArg> args;
  } kMismatches[] = {
      {"%i", {}},        // too few values
      {"%i", {1, 2}},    // too many
      {"%i", {"text"}},  // another kind
      {"%s", {2.5}},     //
      {"%f", {7}},       // a whole number is not taken for a real one
      {"%x", {7}},       // a placeholder the table does not use
      {"%+i", {7}},      //
      {"50%", {}},       // a lone percent sign at the end
  };
  for (const auto& c : kMismatches) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(TryFormat(c.format, c.args), std::nullopt);
  }
}

// Every format text of the table has the placeholders its callers are written for, and formats.
TEST(FormatString, EveryFormatTextOfTheTableTakesItsDeclaredValues) {
  int formatTexts = 0;
  for (const int id : StringIds()) {
    SCOPED_TRACE(id);
    const auto kinds = FormatKinds(StringText(id));
    ASSERT_TRUE(kinds) << "a placeholder FormatString does not take: " << StringText(id);
    const char* declared = StringFormatKinds(id);
    if (kinds->empty()) {
      EXPECT_EQ(declared, nullptr) << "declared as a format text, but it has no placeholder";
      continue;
    }
    ++formatTexts;
    ASSERT_NE(declared, nullptr) << "a format text without declared values: " << StringText(id);
    EXPECT_EQ(*kinds, declared);
    std::vector<FormatArg> values;
    for (const char* kind = declared; *kind; ++kind)
      values.push_back(*kind == 'i'   ? FormatArg(7)
                       : *kind == 'f' ? FormatArg(1.5)
                                      : FormatArg("t"));
    EXPECT_TRUE(TryFormat(StringText(id), values));
  }
  EXPECT_GT(formatTexts, 0);
  // A caller whose values do not fit sees its mistake, not undefined behaviour.
  EXPECT_EQ(FormatString(IDS_FREE_SPACE, {"not a number"}), "[1004] %2.1fMb free (%iMb)");
}

}  // namespace
}  // namespace pspkvx
