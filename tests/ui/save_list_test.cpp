#include <gtest/gtest.h>

#include <filesystem>

#include "psp/StickLayout.h"
#include "support/SaveStickFixture.h"
#include "support/ScopedEnv.h"
#include "ui/SaveListDeletion.h"
#include "ui/SaveListRows.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using test::kJanuary15th2005;
using test::ParamSfo;
using test::SetModifiedTime;
using test::TreeOf;

class SaveListTest : public test::SaveStickTest {
 protected:
  // The PSP saves list as FillSaveList makes it from the stick.
  void FillList() {
    std::atomic<bool> rebuild{true};
    FillSaveList(platform_, drive_, ScanSaves(platform_, drive_), list_, rebuild);
  }
  size_t RowOf(const std::string& folder) const {
    for (size_t i = 0; i < list_.RowCount(); ++i)
      if (list_.Text(i, SaveColumnFolder) == folder) return i;
    ADD_FAILURE() << folder << " is not listed";
    return 0;
  }

  ListModel list_;
};

TEST_F(SaveListTest, FillSaveListBuildsOneRowPerSaveWhenAskedTo) {
  test::ScopedTimeZone zone("EST5");
  MakeSave("ULUS10041", {{kParamSfoName, ParamSfo("Ridge Racer")}, {"DATA.BIN", "12345"}});
  SetModifiedTime(SavePath("ULUS10041"), kJanuary15th2005);

  ListModel list;
  std::atomic<bool> rebuild{false};
  EXPECT_FALSE(FillSaveList(platform_, drive_, ScanSaves(platform_, drive_), list, rebuild));
  EXPECT_EQ(list.RowCount(), 0u);

  rebuild = true;
  EXPECT_TRUE(FillSaveList(platform_, drive_, ScanSaves(platform_, drive_), list, rebuild));
  EXPECT_FALSE(rebuild.load());
  ASSERT_EQ(list.RowCount(), 1u);
  const std::string icon = SavePath("ULUS10041") + "/icon0.png";
  const std::string size = FormatSize(kSaveTitleOffset + 11 + 5);
  EXPECT_EQ(list.Row(0)->columns, (std::vector<std::string>{"Ridge Racer", "ULUS10041",
                                                            "01/15/2005 14:03:09", size, icon}));
  EXPECT_EQ(list.Row(0)->picturePath, icon);
}

TEST_F(SaveListTest, AnEmptyListSaysWhetherThePspIsThere) {
  ListModel list;
  list.AppendRow({{"old row"}, "", false});
  std::atomic<bool> rebuild{true};
  FillSaveList(platform_, drive_, ScanSaves(platform_, drive_), list, rebuild);
  EXPECT_EQ(list.RowCount(), 0u);
  EXPECT_EQ(list.EmptyText(), "There are no saves on your PSP");

  drive_.SetState(PspSearching);
  rebuild = true;
  FillSaveList(platform_, drive_, ScanSaves(platform_, drive_), list, rebuild);
  EXPECT_EQ(list.EmptyText(), "No PSP Detected, please plug in your PSP using the USB cable");
}

TEST_F(SaveListTest, DeleteSelectedSavesRemovesEverySelectedSaveWithoutAQuestion) {
  MakeSave("ONE", {{"DATA", "1"}});
  MakeSave("TWO", {{"DATA", "2"}});
  MakeSave("THREE", {{"DATA", "3"}});
  FillList();
  EXPECT_FALSE(DeleteSelectedSaves(Stick(), list_));  // nothing selected

  list_.Select(RowOf("ONE"));
  list_.Select(RowOf("THREE"));
  // A row whose folder is not a save's name never leads outside SAVEDATA.
  list_.AppendRow({{"", "..", "", "", ""}, "", true});
  EXPECT_TRUE(DeleteSelectedSaves(Stick(), list_));
  EXPECT_TRUE(host_.requests().empty());
  EXPECT_EQ(list_.SelectedCount(), 0u);
  EXPECT_EQ(TreeOf(SaveData()), (test::Tree{{"TWO", "<folder>"}, {"TWO/DATA", "2"}}));
}

TEST_F(SaveListTest, DeleteSaveWithQuestionAsksOnlyForAFolderThatHoldsSomething) {
  const struct {
    const char* what;
    test::Tree files;
    std::vector<int> answers;
    SaveDeletion result;
    size_t questions;
  } kCases[] = {
      {"agreed", {{"DATA", "d"}}, {ResultYes}, SaveDeletion::Deleted, 1},
      {"declined", {{"DATA", "d"}}, {ResultNo}, SaveDeletion::Kept, 1},
      {"empty folder", {}, {}, SaveDeletion::Deleted, 0},
  };
  for (const auto& c : kCases) {
    fs::remove_all(SaveData());
    MakeSave("ULUS10041", c.files);
    FillList();
    list_.Select(0);
    test::ScriptedHost host;
    host.Answer(c.answers);
    EXPECT_EQ(DeleteSaveWithQuestion(Stick(host), list_, 0), c.result) << c.what;
    ASSERT_EQ(host.requests().size(), c.questions) << c.what;
    if (c.questions) {
      EXPECT_EQ(host.texts()[0], "Delete the entire save?\r\n\r\nULUS10041");
      EXPECT_EQ(host.requests()[0].type, MbYesNo);
    }
    EXPECT_EQ(fs::exists(SavePath("ULUS10041")), c.result == SaveDeletion::Kept) << c.what;
  }
}

TEST_F(SaveListTest, DeleteSaveWithQuestionNeedsAReadyPspAndASelectedRow) {
  MakeSave("SAVE", {{"DATA", "d"}});
  FillList();
  EXPECT_EQ(DeleteSaveWithQuestion(Stick(), list_, 0), SaveDeletion::NotDone);  // not selected
  list_.Select(0);
  drive_.SetState(PspSearching);
  EXPECT_EQ(DeleteSaveWithQuestion(Stick(), list_, 0), SaveDeletion::NotDone);
  EXPECT_TRUE(host_.requests().empty());
  EXPECT_TRUE(fs::exists(SavePath("SAVE/DATA")));
}

}  // namespace
}  // namespace pspkvx
