#include "saves/SaveDiscovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/DateText.h"
#include "base/StringTable.h"
#include "psp/StickLayout.h"
#include "saves/SaveList.h"
#include "support/SaveStickFixture.h"
#include "support/ScopedEnv.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using test::Tree;

using test::kJanuary15th2005;
using test::ParamSfo;
using test::SetModifiedTime;

class SaveDiscoveryTest : public test::SaveStickTest {
 protected:
  std::vector<std::string> ScannedNames() {
    std::vector<std::string> names;
    for (const SaveEntry& entry : ScanSaves(platform_, drive_))
      names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(SaveDiscoveryTest, ScanListsSaveFoldersOnlyWhileReady) {
  EXPECT_TRUE(ScannedNames().empty());  // no SAVEDATA yet
  MakeSave("ULUS10041", {{"PARAM.SFO", "p"}});
  MakeSave("ULJS00001", {});
  test::MakeFiles(SaveData(), {{"STRAY.BIN", "a file, not a save"},
                               {".pspkvx-install/ULUS10041/PARAM.SFO", "half written"},
                               {".hidden/DATA", "d"}});
  EXPECT_EQ(ScannedNames(), (std::vector<std::string>{"ULJS00001", "ULUS10041"}));

  const auto entries = ScanSaves(platform_, drive_);
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries[0].path, SavePath(entries[0].name));

  drive_.SetState(PspNotFound);
  EXPECT_TRUE(ScannedNames().empty());
}

TEST_F(SaveDiscoveryTest, TitleComesFromTheFixedOffsetCleanedWithSpaces) {
  const struct {
    const char* what;
    std::optional<std::string> paramSfo;  // none: no PARAM.SFO
    std::string title;
  } kCases[] = {
      {"plain", ParamSfo(std::string("Ridge Racer\0junk", 16)), "Ridge Racer"},
      {"Japanese (UTF-8)", ParamSfo("\xE3\x81\xB2 GOLF"), "    GOLF"},
      {"ampersand and friends", ParamSfo("Tom & Jerry <#1> 100%"), "Tom   Jerry   1  100 "},
      {"80 bytes without a NUL", ParamSfo(std::string(100, 'T')), std::string(80, 'T')},
      {"shorter than the offset", std::string(4783, 'x'), ""},
      {"ends at the offset", std::string(kSaveTitleOffset, 'x'), ""},
      {"no PARAM.SFO", std::nullopt, ""},
  };
  for (const auto& c : kCases) {
    fs::remove_all(SaveData());
    MakeSave("SAVE", {{"DATA.BIN", "d"}});
    if (c.paramSfo) MakeSave("SAVE", {{kParamSfoName, *c.paramSfo}});
    EXPECT_EQ(ReadSaveTitle(platform_, drive_, "SAVE"), c.title) << c.what;
  }
}

TEST_F(SaveDiscoveryTest, FolderSizeCountsSubfoldersAndNeverFollowsLinks) {
  MakeSave("SAVE", {{"A", std::string(1000, 'a')},
                    {"SUB/B", std::string(300, 'b')},
                    {"SUB/DEEPER/C", "c"},
                    {"EMPTY", "<folder>"}});
  // A link back to the save would make a walk that follows links endless.
  fs::create_directory_symlink(SavePath("SAVE"), SavePath("SAVE") + "/SUB/LOOP");
  const FolderSizeResult size = FolderSize(platform_, SavePath("SAVE"));
  EXPECT_EQ(size.bytes, 1301u);
  EXPECT_EQ(size.files, 3u);
  EXPECT_EQ(FolderSize(platform_, SavePath("MISSING")).bytes, 0u);
}

TEST_F(SaveDiscoveryTest, ASaveExistsOnlyWhenItsFolderHoldsSomething) {
  EXPECT_FALSE(SaveExistsOnStick(platform_, drive_, "SAVE"));
  MakeSave("SAVE", {});
  EXPECT_FALSE(SaveExistsOnStick(platform_, drive_, "SAVE"));
  MakeSave("SAVE", {{"SUB", "<folder>"}});
  EXPECT_TRUE(SaveExistsOnStick(platform_, drive_, "SAVE"));
}

TEST(DateTimeText, MonthFirstInLocalTime) {
  test::ScopedTimeZone zone("EST5");
  EXPECT_EQ(DateTimeText(kJanuary15th2005), "01/15/2005 14:03:09");
  EXPECT_EQ(DateTimeText(0), "12/31/1969 19:00:00");
}

}  // namespace
}  // namespace pspkvx
