#include "base/Names.h"

#include <gtest/gtest.h>

#include <string>

namespace pspkvx {
namespace {

// Every name from outside passes these two rules; a row gives a text and whether each rule
// takes it.
TEST(NamesFromOutside, BareNamesAndRelativePaths) {
  using namespace std::string_literals;
  const struct {
    std::string text;
    bool bareName;
    bool relativePath;
  } kCases[] = {
      {"ULUS10041", true, true},
      {"DATA.BIN", true, true},
      {".hidden", true, true},  // a dot that begins a name is part of it
      {"a..b", true, true},
      {"ULUS10041/DATA.BIN", false, true},
      {"ULUS10041\\SUB\\DATA.BIN", false, true},
      {"", false, false},
      {".", false, false},
      {"..", false, false},
      {"...", false, false},
      {". .", false, false},  // Windows drops the trailing dot and space: ".."
      {"  ", false, false},
      {"SAVE/../../x", false, false},
      {"SAVE\\..\\x", false, false},
      {"SAVE/./x", false, false},
      {"SAVE//x", false, false},  // an empty component
      {"SAVE/", false, false},
      {"/etc/passwd", false, false},
      {"\\\\server\\share", false, false},
      {"\\SAVE", false, false},
      {"C:", false, false},
      {"C:x", false, false},
      {"SAVE/DATA.BIN:stream", false, false},
      {"NUL\0BYTE"s, false, false},
      {"SAVE/NUL\0"s, false, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(BareNameProblem(c.text).empty(), c.bareName) << BareNameProblem(c.text);
    EXPECT_EQ(RelativePathProblem(c.text).empty(), c.relativePath) << RelativePathProblem(c.text);
  }
  // The reasons read as the end of a sentence about the name.
  EXPECT_EQ(RelativePathProblem("SAVE/../x"), "has the path component \"..\"");
  EXPECT_EQ(RelativePathProblem("/x"), "is an absolute path");
  EXPECT_EQ(BareNameProblem("a/b"), "holds a path separator");
}

TEST(NamesFromOutside, CaseIsIgnoredForAsciiLettersOnly) {
  EXPECT_TRUE(EqualsIgnoringAsciiCase("icon0.png", "ICON0.PNG"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("icon0.png", "ICON0.PN"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xe9", "\xc9"));  // not ASCII: two names
  EXPECT_EQ(AsciiUpperCase("m4v00001.mp4"), "M4V00001.MP4");
}

TEST(CleanText, ReplacesOrDropsUnsafeCharacters) {
  const struct {
    std::string text;
    char replacement;
    std::string cleaned;
    int replaced;
  } kCases[] = {
      {"A&B%C<D>E#F", ' ', "A B C D E F", 5},
      {"A&B%C<D>E#F", '\0', "ABCDEF", 5},
      {"caf\xC3\xA9", '_', "caf__", 2},
      {"Plain text (1) - ok!", ' ', "Plain text (1) - ok!", 0},
  };
  for (const auto& c : kCases) {
    const CleanedText result = CleanText(c.text, c.replacement);
    EXPECT_EQ(result.text, c.cleaned) << c.text;
    EXPECT_EQ(result.replaced, c.replaced) << c.text;
  }
}

}  // namespace
}  // namespace pspkvx
