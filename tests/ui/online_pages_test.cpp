// The online side of the window against the real service: browsing to a save, downloading it
// onto the stick, keeping it on the PC and installing it back, and the saves page's tree.
#include <gtest/gtest.h>

#include <filesystem>

#include "online/OnlineRows.h"
#include "support/SaveStickFixture.h"
#include "support/ServiceProcess.h"
#include "ui/ControlIds.h"
#include "ui/OnlineBrowser.h"
#include "ui/OnlinePages.h"
#include "ui/manager_fixture.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;

class OnlinePagesTest : public test::ManagerTest {
 protected:
  OnlinePagesTest() : service_(serviceDir_.File("service.db")) {
    test::WriteFileBytes(app_.m_szProgramFolder + "/service.host", service_.HostPort() + "\n");
  }
  std::vector<std::string> SaveFolders() const {
    std::vector<std::string> names;
    if (!fs::exists(root_ + "PSP/SAVEDATA")) return names;
    for (const auto& entry : fs::directory_iterator(root_ + "PSP/SAVEDATA"))
      names.push_back(entry.path().filename().string());
    return names;
  }
  // The left list in a view with rows of that many columns (or none at all, with empty).
  bool ShowsView(int view, size_t columns, bool empty = false) {
    OnlineBrowser& browser = Window().Online().Browser();
    ListModel& list = Window().List(IdOnlineLeft);
    return PumpUntil([&] {
      if (browser.CurrentView() != view) return false;
      const auto first = list.Row(0);
      return empty ? !first && !list.EmptyText().empty()
                   : first && first->columns.size() == columns;
    });
  }

  test::TempDir serviceDir_;
  test::ServiceProcess service_;
};

TEST_F(OnlinePagesTest, ASaveIsBrowsedToDownloadedBackedUpAndInstalledBackFromItsFile) {
  CManagerDlg& window = Window();
  window.OnCommand(IdTabOnline);
  ASSERT_TRUE(ShowsView(ViewLetters, 1));
  window.OnListRowPressed(IdOnlineLeft, 0);
  ASSERT_TRUE(ShowsView(ViewGames, kGameColumns));
  // The first game of the letter that has saves.
  bool found = false;
  for (int game = 0; game < 4 && !found; ++game) {
    window.OnListRowPressed(IdOnlineLeft, game);
    found = ShowsView(ViewSaves, kOnlineSaveColumns);
    if (!found) {
      window.OnCommand(IdRemove);  // Back
      ASSERT_TRUE(ShowsView(ViewGames, kGameColumns));
    }
  }
  ASSERT_TRUE(found);
  window.OnListRowPressed(IdOnlineLeft, 0);
  ASSERT_TRUE(window.Online().Browser().SelectedSaveChoice());
  window.OnCommand(IdTransfer);
  ASSERT_TRUE(PumpUntil([&] { return !window.IsBusy(); }));
  const std::vector<std::string> folders = SaveFolders();
  ASSERT_EQ(folders.size(), 1u) << (view_.boxes_.empty() ? "" : view_.boxes_[0].text);
  EXPECT_TRUE(view_.boxes_.empty());
  window.OnCommand(IdRemove);  // Back to the games
  ASSERT_TRUE(ShowsView(ViewGames, kGameColumns));

  // Kept on the PC, deleted, installed back from the file.
  window.OnCommand(IdTabSaves);
  ListModel& saves = window.List(IdPspSavesList);
  ASSERT_TRUE(PumpUntil([&] { return saves.RowCount() == 1; }));
  saves.Select(0);
  view_.chosenFolder_ = dir_.File("backups");
  fs::create_directories(view_.chosenFolder_);
  window.OnCommand(IdBackupSaves);
  const std::string file = view_.chosenFolder_ + "/" + folders[0] + ".pspsave";
  ASSERT_TRUE(fs::exists(file));
  ASSERT_EQ(view_.boxes_.size(), 1u);  // how many were written, and where
  const test::Tree before = test::TreeOf(SavePath(folders[0]));
  fs::remove_all(SavePath(folders[0]));
  view_.chosenFiles_ = {file};
  window.OnCommand(IdInstallFromFile);
  EXPECT_EQ(test::TreeOf(SavePath(folders[0])), before);
  EXPECT_EQ(saves.RowCount(), 1u);
}

TEST_F(OnlinePagesTest, TheSavesTreesChosenSaveIsDownloadedByTheEngineAndInstalled) {
  CManagerDlg& window = Window();
  window.OnCommand(IdTabSaves);
  TreeModel& tree = *window.SavesTreeRows();
  ASSERT_EQ(tree.Children(kTreeRoot).size(), 1u);
  // Down the first branch that reaches a save: an initial, a game, its first save.
  TreeNodeId node = tree.Children(kTreeRoot)[0];
  for (int level = 0; level < 3; ++level) {
    window.OnTreeExpanded(node, true);
    window.Online().Tree().WaitUntilIdle();
    ASSERT_FALSE(tree.Children(node).empty()) << level;
    node = tree.Children(node)[0];
  }
  tree.Select(node);
  window.OnCommand(IdTransfer);
  ASSERT_TRUE(PumpUntil([&] { return !SaveFolders().empty() || !view_.boxes_.empty(); }));
  EXPECT_TRUE(view_.boxes_.empty()) << view_.boxes_[0].text;
  ASSERT_TRUE(PumpUntil([&] { return window.List(IdPspSavesList).RowCount() == 1; }));
  EXPECT_EQ(SaveFolders().size(), 1u);

  // Without a save chosen the transfer says what to do.
  tree.Select(tree.Children(kTreeRoot)[0]);
  window.OnCommand(IdTransfer);
  ASSERT_EQ(view_.boxes_.size(), 1u);
}

}  // namespace
}  // namespace pspkvx
