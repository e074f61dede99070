// The GUI-free rules of the small dialogs: the name entry, the connection guide and the message
// box's button row.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/StringTable.h"
#include "ui/ConnectionGuide.h"
#include "ui/MessageBoxLayout.h"
#include "ui/NameEntry.h"

namespace pspkvx {
namespace {

TEST(NameEntry, TypingStopsAt33CharactersAndAProposedLongerNameStays) {
  const std::string n33(33, 'n');
  const std::string n40(40, 'n');
  struct Case {
    std::string name, before, after;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {"the 33rd character", std::string(32, 'n'), n33, true},
      {"a 34th character", n33, n33 + "x", false},
      {"a paste past 33", "abc", "abc" + std::string(31, 'p'), false},
      {"the proposed 40 characters", "", n40, false},  // only setting the initial text shows it
      {"deleting from a proposed long name", n40, std::string(39, 'n'), true},
      {"typing over a selection of a long name", n40, std::string(38, 'n') + "x", true},
      {"typing into a long name", n40, n40 + "x", false},
      {"deleting to nothing", n33, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NameEntryAccepts(c.before, c.after), c.accepted);
  }
  std::string umlauts;
  for (int i = 0; i < 33; ++i)
    umlauts += "\xC3\xA4";  // 33 characters, 66 bytes
  EXPECT_EQ(NameEntryLength(umlauts), 33u);
  EXPECT_TRUE(NameEntryAccepts("", umlauts));
  EXPECT_FALSE(NameEntryAccepts(umlauts, umlauts + "\xC3\xA4"));
}

TEST(ConnectionGuide, TheIntroductionAndTheSevenStepsEachWithABlankLine) {
  std::string expected;
  for (int id = 76; id <= 83; ++id) {
    ASSERT_NE(StringOf(id), "") << id;
    expected += StringOf(id) + "\r\n\r\n";
  }
  EXPECT_EQ(PspConnectionGuide(), expected);
  EXPECT_EQ(PspConnectionGuide().rfind("For your PSP to be found", 0), 0u);
}

TEST(MessageBoxLayout, ButtonPositionsAndTheTextArea) {
  EXPECT_EQ(MessageBoxButtonPositions(1), (std::vector<int>{159}));
  EXPECT_EQ(MessageBoxButtonPositions(2), (std::vector<int>{100, 199}));
  EXPECT_EQ(MessageBoxButtonPositions(3), (std::vector<int>{50, 150, 250}));
  EXPECT_EQ(MessageBoxButtonPositions(4), (std::vector<int>{10, 105, 200, 295}));
  EXPECT_TRUE(MessageBoxButtonPositions(0).empty());
  EXPECT_TRUE(MessageBoxButtonPositions(5).empty());
  // Every button of the widest row fits on the face.
  EXPECT_LE(MessageBoxButtonPositions(4).back() + kMessageBoxButtonWidth, kMessageBoxWidth);
  const MessageBoxRect text = MessageBoxTextRect(400, 180);
  EXPECT_EQ(text.left, 30);
  EXPECT_EQ(text.top, 32);
  EXPECT_EQ(text.width, 340);
  EXPECT_EQ(text.height, 110);
}

}  // namespace
}  // namespace pspkvx
