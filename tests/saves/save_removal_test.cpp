#include "saves/SaveRemoval.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "saves/SaveList.h"
#include "saves/stick_fixture.h"
#include "ui/StringTable.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using test::TreeOf;

class SaveRemovalTest : public test::SaveStickTest {
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

TEST_F(SaveRemovalTest, DeleteTreeRemovesEverythingButNeverFollowsALink) {
  test::MakeFiles(dir_.File("outside"), {{"KEEP.BIN", "not on the stick"}});
  MakeSave("SAVE", {{"A", "a"}, {"SUB/B", "b"}, {"SUB/DEEP/C", "c"}, {"EMPTY", "<folder>"}});
  fs::create_directory_symlink(dir_.File("outside"), SavePath("SAVE") + "/SUB/LINK");
  EXPECT_EQ(DeleteTree(Stick(), SavePath("SAVE") + "/"), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(SavePath("SAVE"))));
  EXPECT_EQ(test::ReadFileBytes(dir_.File("outside/KEEP.BIN")), "not on the stick");
  EXPECT_TRUE(host_.texts().empty());
}

TEST_F(SaveRemovalTest, WhatCannotBeDeletedEndsTheRemovalWithItsPath) {
  const struct {
    const char* what;
    std::string undeletable;
    std::string message;
  } kCases[] = {
      {"a file", "SAVE/SUB/B", "Couldn't delete the file:\n\n"},
      {"a folder", "SAVE/SUB", "Couldn't delete the folder:\n\n"},
  };
  for (const auto& c : kCases) {
    MakeSave("SAVE", {{"SUB/B", "b"}});
    const std::string path = SaveData() + "/" + c.undeletable;
    platform_.Change([&](test::FakePlatform& f) { f.undeletable = {path}; });
    test::ScriptedHost host;
    EXPECT_EQ(DeleteTree({platform_, drive_, host}, SavePath("SAVE")), -1) << c.what;
    EXPECT_EQ(host.texts(), std::vector<std::string>{c.message + path}) << c.what;
    EXPECT_TRUE(fs::exists(path)) << c.what;
    EXPECT_TRUE(fs::exists(SavePath("SAVE"))) << c.what;  // the removal ended there
  }
}

TEST_F(SaveRemovalTest, DeleteSelectedSavesRemovesEverySelectedSaveWithoutAQuestion) {
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

TEST_F(SaveRemovalTest, DeleteSaveWithQuestionAsksOnlyForAFolderThatHoldsSomething) {
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
    EXPECT_EQ(DeleteSaveWithQuestion({platform_, drive_, host}, list_, 0), c.result) << c.what;
    ASSERT_EQ(host.requests().size(), c.questions) << c.what;
    if (c.questions) {
      EXPECT_EQ(host.texts()[0], "Delete the entire save?\r\n\r\nULUS10041");
      EXPECT_EQ(host.requests()[0].type, MbYesNo);
    }
    EXPECT_EQ(fs::exists(SavePath("ULUS10041")), c.result == SaveDeletion::Kept) << c.what;
  }
}

TEST_F(SaveRemovalTest, DeleteSaveWithQuestionNeedsAReadyPspAndASelectedRow) {
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
