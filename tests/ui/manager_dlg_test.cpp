#include "ui/ManagerDlg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "base/StringTable.h"
#include "support/SaveStickFixture.h"
#include "ui/ContextMenus.h"
#include "ui/ControlIds.h"
#include "ui/PageTable.h"
#include "ui/manager_fixture.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ManagerTest;

// A batch that runs until the test lets it go (or, when it heeds its stop, until stopped).
struct HeldBatch {
  ManualResetEvent release;
  std::atomic<int> runs{0};
  bool heedsStop = true;
  void Register(CManagerDlg& window, int page) {
    window.Operations().batch[page] = [this](uintptr_t, const ManualResetEvent& stop) {
      ++runs;
      while (!release.IsSet() && !(heedsStop && stop.IsSet()))
        std::this_thread::sleep_for(2ms);
    };
  }
};

TEST_F(ManagerTest, EachPageShowsItsControlsAndTheVideoPageComesFirst) {
  CManagerDlg& window = Window();
  EXPECT_EQ(window.CurrentPage(), PageVideo);
  for (int page = 0; page < kPageCount; ++page) {
    SCOPED_TRACE(page);
    window.OnCommand(TabOfPage(page));
    ASSERT_EQ(window.CurrentPage(), page);
    const PageControls& controls = ControlsOfPage(page);
    for (const int id : PageSwitchedControls()) {
      const bool expected = id == controls.pcList || id == controls.pspList ||
                            std::count(controls.buttons.begin(), controls.buttons.end(), id);
      EXPECT_EQ(view_.Shown(id), expected) << id;
    }
    EXPECT_EQ(view_.Face(TabOfPage(page)), 1);
    EXPECT_EQ(view_.focused_, TabOfPage(page));
  }
  EXPECT_FALSE(view_.Shown(IdCancel));
}

TEST_F(ManagerTest, ABatchMakesTheWindowBusyUntilItsEnd) {
  CManagerDlg& window = Window();
  HeldBatch batch;
  batch.Register(window, PageVideo);
  window.OnCommand(IdTransfer);
  ASSERT_TRUE(window.IsBusy());
  EXPECT_TRUE(view_.Shown(IdCancel));
  EXPECT_FALSE(view_.Enabled(IdOptions));

  // Refused while busy: page switches, the quality steps, a second batch, Options.
  window.OnCommand(IdTabMusic);
  EXPECT_EQ(window.CurrentPage(), PageVideo);
  const uint32_t quality = app_.m_config.VideoOptions & VideoQualityMask;
  window.OnCommand(IdQuality5);
  EXPECT_EQ(app_.m_config.VideoOptions & VideoQualityMask, quality);
  window.OnCommand(IdTransfer);
  window.OnCommand(IdOptions);
  EXPECT_EQ(view_.optionsRuns_, 0);

  batch.release.Set();
  ASSERT_TRUE(PumpUntil([&] { return !window.IsBusy(); }));
  EXPECT_EQ(batch.runs.load(), 1);
  EXPECT_FALSE(view_.Shown(IdCancel));
  EXPECT_TRUE(view_.Enabled(IdOptions));
  window.OnCommand(IdTabMusic);
  EXPECT_EQ(window.CurrentPage(), PageMusic);
}

TEST_F(ManagerTest, ControlsWithoutTheirOperationDoNothing) {
  CManagerDlg& window = Window();
  window.Operations() = WindowOperations{};
  for (const int id : {IdTransfer, IdConvert, IdAddFiles, IdRemove, IdNewGroupFolder, IdUpALevel})
    window.OnCommand(id);
  EXPECT_FALSE(window.IsBusy());
  EXPECT_TRUE(view_.boxes_.empty());
  window.OnContextMenu(IdMusicPspList, -1);
  EXPECT_TRUE(view_.menus_.empty());
}

TEST_F(ManagerTest, CancelAsksTheBatchToStopAndSaysSo) {
  CManagerDlg& window = Window();
  HeldBatch batch;
  batch.Register(window, PageVideo);
  window.OnCommand(IdTransfer);
  window.OnCommand(IdCancel);
  EXPECT_EQ(window.StatusText(), "Cancelled");
  EXPECT_TRUE(PumpUntil([&] { return !window.IsBusy(); }));
}

TEST_F(ManagerTest, QualityAndPhotoModeButtonsSetTheirFieldsAndFaces) {
  CManagerDlg& window = Window();
  app_.m_config.VideoOptions = 0x210 | 2;  // other bits stay
  window.OnCommand(IdQuality4);
  EXPECT_EQ(app_.m_config.VideoOptions, 0x210u | 4);
  EXPECT_EQ(view_.Face(IdQuality4), 1);
  EXPECT_EQ(view_.Face(IdQuality2), 0);
  window.OnCommand(IdTabPhoto);
  window.OnCommand(IdQuality3);  // photo mode 2 on the photo page
  EXPECT_EQ(app_.m_config.PhotoCopyMode, 2);
  EXPECT_EQ(app_.m_config.VideoOptions, 0x210u | 4);
}

TEST_F(ManagerTest, ScreenAndEncodingChoicesSetTheirBitsAndTheAvcNoticeComesOnce) {
  CManagerDlg& window = Window();
  app_.m_config.VideoOptions = 0x8000 | 3;  // other bits stay
  window.OnCommand(IdWideScreen);
  EXPECT_EQ(app_.m_config.VideoOptions, 0x8000u | 3 | VideoWideScreen);
  EXPECT_EQ(view_.Face(IdWideScreen), 1);
  EXPECT_EQ(view_.Face(IdNormalScreen), 0);
  window.OnCommand(IdNormalScreen);
  EXPECT_EQ(app_.m_config.VideoOptions, 0x8000u | 3);
  window.OnCommand(IdNormalMpeg4);  // already MPEG-4: nothing changes
  EXPECT_EQ(app_.m_config.VideoOptions, 0x8000u | 3);
  EXPECT_TRUE(view_.boxes_.empty());

  // The first AVC choice shows the notice; "More Info" opens the help document.
  view_.answers_ = {ResultCancel};
  window.OnCommand(IdAvc);
  ASSERT_EQ(view_.boxes_.size(), 1u);
  EXPECT_EQ(view_.boxes_[0].text, StringOf(IDS_AVC_NOTICE));
  EXPECT_EQ(view_.boxes_[0].labels[1], IDS_MORE_INFO);
  EXPECT_EQ(view_.opened_,
            std::vector<std::string>{app_.m_szProgramFolder + "/PSP AVC Encoding.mht"});
  EXPECT_EQ(app_.m_config.VideoOptions, 0x8000u | 3 | VideoAvc | VideoAvcNoticeShown);
  EXPECT_EQ(view_.Face(IdAvc), 1);
  EXPECT_EQ(view_.Face(IdNormalMpeg4), 0);
  AppConfig saved{};
  LoadConfig(saved, app_.m_szProgramFolder, "");
  EXPECT_EQ(saved.VideoOptions & VideoAvcNoticeShown, VideoAvcNoticeShown);

  window.OnCommand(IdNormalMpeg4);
  window.OnCommand(IdAvc);
  EXPECT_EQ(view_.boxes_.size(), 1u);  // not again
  EXPECT_EQ(app_.m_config.VideoOptions & VideoAvc, VideoAvc);
}

TEST_F(ManagerTest, F5AndDeleteActOnlyOnTheOnlinePage) {
  CManagerDlg& window = Window();
  int refreshes = 0;
  int deletes = 0;
  window.Operations().onlineRefresh = [&] { ++refreshes; };
  window.Operations().onlineDeleteKey = [&] { ++deletes; };
  EXPECT_FALSE(window.OnKey(kVirtualKeyF5));
  EXPECT_FALSE(window.OnKey(kVirtualKeyDelete));
  window.OnCommand(IdTabOnline);
  EXPECT_TRUE(window.OnKey(kVirtualKeyF5));
  EXPECT_TRUE(window.OnKey(kVirtualKeyDelete));
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(deletes, 1);
}

TEST_F(ManagerTest, TheFirstStartAsksTheUpdateQuestionOnceOnTheFirstTick) {
  app_.m_bFirstRun = 1;
  CManagerDlg& window = Window();
  int checks = 0;
  window.Operations().updateCheck = [&] {
    ++checks;
    return false;
  };
  EXPECT_TRUE(view_.boxes_.empty());  // not before the timer
  view_.answers_ = {ResultYes};
  window.OnTimer();
  window.OnTimer();
  window.OnTimer();
  ASSERT_EQ(view_.boxes_.size(), 1u);
  EXPECT_EQ(view_.boxes_[0].text, StringOf(IDS_CHECK_UPDATES_QUESTION));
  EXPECT_EQ(view_.boxes_[0].type, MbYesNo);
  EXPECT_EQ(checks, 1);
  EXPECT_EQ(view_.nudges_, (std::vector<int>{2, -2}));
}

TEST_F(ManagerTest, AfterAnUpgradeTheAboutBoxShowsAndNoUpdateQuestionIsAsked) {
  app_.m_bFirstRun = 1;
  const std::string upgrade = app_.m_szProgramFolder + "/upgrade";
  test::WriteFileBytes(upgrade, "the updater");
  CManagerDlg& window = Window();
  EXPECT_FALSE(fs::exists(upgrade));
  EXPECT_TRUE(fs::exists(app_.m_szProgramFolder + "/PSPKV.CFG"));
  ASSERT_EQ(view_.boxes_.size(), 1u);
  EXPECT_EQ(view_.boxes_[0].type, MbAbout);
  EXPECT_NE(view_.boxes_[0].text.find("Version 1.15"), std::string::npos);
  window.OnTimer();
  EXPECT_EQ(view_.boxes_.size(), 1u);
}

TEST_F(ManagerTest, TheAboutBoxOpensTheSupportPageOrSaysWhereItIs) {
  CManagerDlg& window = Window();
  view_.answers_ = {ResultCancel};  // the second button
  view_.openSucceeds_ = false;
  window.OnCommand(IdAbout);
  ASSERT_EQ(view_.opened_.size(), 1u);
  EXPECT_EQ(view_.opened_[0], window.Endpoints().supportAddress);
  ASSERT_EQ(view_.boxes_.size(), 2u);
  EXPECT_EQ(view_.boxes_[1].text, StringOf(IDS_BROWSER_FAILED) + window.Endpoints().supportAddress);
}

TEST_F(ManagerTest, ATransferDoneWithoutABufferInstallsAndWritesNothing) {
  CManagerDlg& window = Window();
  int installs = 0;
  int upgrades = 0;
  window.Operations().installDownloadedSave = [&](intptr_t) { ++installs; };
  bool upgradeSound = false;
  window.Operations().writeUpgrade = [&](intptr_t) {
    ++upgrades;
    return upgradeSound;
  };
  EXPECT_EQ(window.SendWindowMessage(WM_TRANSFER_DONE, PendingSave, 0), 1);
  EXPECT_EQ(window.SendWindowMessage(WM_TRANSFER_DONE, PendingUpgrade, 0), 0);
  EXPECT_EQ(installs + upgrades, 0);
  // A buffer of no kind is not taken for a save.
  EXPECT_EQ(window.SendWindowMessage(WM_TRANSFER_DONE, PendingNone, 1234), 1);
  EXPECT_EQ(installs, 0);
  window.SendWindowMessage(WM_TRANSFER_DONE, PendingSave, 1234);
  EXPECT_EQ(installs, 1);
  // An upgrade that is not written is refused (the engine then does not count it complete).
  EXPECT_EQ(window.SendWindowMessage(WM_TRANSFER_DONE, PendingUpgrade, 1234), 0);
  upgradeSound = true;
  EXPECT_EQ(window.SendWindowMessage(WM_TRANSFER_DONE, PendingUpgrade, 1234), 1);
  EXPECT_EQ(upgrades, 2);
}

TEST_F(ManagerTest, TheSavesPageListsTheStickAndDeletesAfterTheQuestion) {
  test::MakeFiles(SavePath("ULUS10041"),
                  {{"PARAM.SFO", test::ParamSfo("Ridge Racer")}, {"ICON0.PNG", "png"}});
  test::MakeFiles(SavePath("ULES00001"), {{"DATA.BIN", "d"}});
  CManagerDlg& window = Window();
  window.OnCommand(IdTabSaves);
  ListModel& saves = window.List(IdPspSavesList);
  ASSERT_EQ(saves.RowCount(), 2u);

  window.OnCommand(IdSelectAllPsp);
  EXPECT_EQ(saves.SelectedCount(), 2u);
  window.OnCommand(IdSelectAllPsp);  // all selected: the second press clears
  EXPECT_EQ(saves.SelectedCount(), 0u);

  size_t ridge = saves.Text(0, 1) == "ULUS10041" ? 0 : 1;
  saves.Select(ridge);
  view_.answers_ = {ResultNo};
  window.OnCommand(IdDeleteFromPsp);
  EXPECT_TRUE(fs::exists(SavePath("ULUS10041")));
  ridge = saves.Text(0, 1) == "ULUS10041" ? 0 : 1;
  saves.Select(ridge);
  view_.answers_ = {ResultYes};
  window.OnCommand(IdDeleteFromPsp);
  EXPECT_FALSE(fs::exists(SavePath("ULUS10041")));
  ASSERT_EQ(view_.boxes_.size(), 2u);
  EXPECT_EQ(view_.boxes_[1].text, "Delete the entire save?\r\n\r\nULUS10041");
  ASSERT_EQ(saves.RowCount(), 1u);
  EXPECT_EQ(saves.Text(0, 1), "ULES00001");
}

TEST_F(ManagerTest, TheOnlinePageDeletesEverySelectedSaveWithoutAQuestion) {
  test::MakeFiles(SavePath("ONE"), {{"DATA", "1"}});
  test::MakeFiles(SavePath("TWO"), {{"DATA", "2"}});
  CManagerDlg& window = Window();
  window.OnCommand(IdTabOnline);
  ListModel& saves = window.List(IdOnlineRight);
  ASSERT_EQ(saves.RowCount(), 2u);
  window.OnCommand(IdSelectAllPsp);
  window.OnCommand(IdDeleteFromPsp);
  EXPECT_TRUE(view_.boxes_.empty());
  EXPECT_FALSE(fs::exists(SavePath("ONE")));
  EXPECT_FALSE(fs::exists(SavePath("TWO")));
  EXPECT_EQ(saves.RowCount(), 0u);
  EXPECT_EQ(saves.EmptyText(), "There are no saves on your PSP");
}

TEST_F(ManagerTest, CheckForUpdatesFromOptionsRunsOnceTheDialogHasClosed) {
  CManagerDlg& window = Window();
  bool checkedInsideDialog = false;
  int checks = 0;
  window.Operations().updateCheck = [&] {
    checkedInsideDialog = view_.inOptions_;
    ++checks;
    return false;
  };
  view_.optionsOutcome_ = OptionsOutcome::CheckForUpdates;
  window.OnCommand(IdOptions);
  EXPECT_EQ(checks, 1);
  EXPECT_FALSE(checkedInsideDialog);
  EXPECT_TRUE(view_.boxes_.empty());  // no question: the user asked for it
  EXPECT_TRUE(fs::exists(app_.m_szProgramFolder + "/PSPKV.CFG"));
}

TEST_F(ManagerTest, ThePspButtonShowsTheGuideThenTheDevicePaths) {
  platform_.Change([](test::FakePlatform& f) { f.volumes.clear(); });
  CManagerDlg& window = Window();
  window.OnCommand(IdPspStatus);
  ASSERT_EQ(view_.infoTexts_.size(), 1u);
  EXPECT_EQ(view_.infoTexts_[0].rfind(StringOf(IDS_PSP_HELP_INTRO) + "\r\n\r\n", 0), 0u);
  window.OnCommand(IdPspStatus);
  window.OnCommand(IdPspStatus);
  window.OnCommand(IdPspStatus);  // the fourth: device paths, then the program folder
  ASSERT_FALSE(view_.boxes_.empty());
  EXPECT_EQ(view_.boxes_.back().text, app_.m_szProgramFolder);
}

TEST_F(ManagerTest, ThePageSwitchCapturesTheWindowStateAndTheColumnWidths) {
  CManagerDlg& window = Window();
  view_.rect_ = {30, 40, 900, 640};
  view_.widths_[IdPspSavesList] = {0, 200, 90, 150, 300};
  window.OnCommand(IdTabSaves);
  EXPECT_EQ(app_.m_config.WindowLeft, 30);
  EXPECT_EQ(app_.m_config.WindowHeight, 640);
  EXPECT_EQ(app_.m_config.SecondListColumnWidths[1], 200);
  EXPECT_EQ(app_.m_config.SecondListColumnWidths[4], 300);
}

// A worker that stops at once and one that does not: the exit ends within its bounds either
// way, and a question asked while the window closes is answered without being shown.
TEST_F(ManagerTest, TheExitSequenceEndsWithinItsBoundsWhateverTheWorkersDo) {
  for (const bool heedsStop : {true, false}) {
    SCOPED_TRACE(heedsStop);
    window_.reset();
    view_.endResults_.clear();
    view_.boxes_.clear();
    CManagerDlg& window = Window();
    ManualResetEvent release;
    std::atomic<bool> finished{false};
    std::atomic<int> answer{0};
    window.Operations().batch[PageVideo] = [&, heedsStop](uintptr_t, const ManualResetEvent& stop) {
      while (!stop.IsSet())
        std::this_thread::sleep_for(2ms);
      answer = window.ShowMessageBox({"Overwrite?", MbYesNo, {}});
      while (!heedsStop && !release.IsSet())
        std::this_thread::sleep_for(2ms);
      finished = true;
    };
    window.MarkListsChanged();
    int saves = 0;
    window.Operations().saveLists = [&](uintptr_t which, const ManualResetEvent& stop) {
      EXPECT_EQ(which, 7u);
      EXPECT_FALSE(stop.IsSet());  // the last save is never stopped
      ++saves;
    };
    window.OnCommand(IdTransfer);
    ASSERT_TRUE(window.IsBusy());
    ASSERT_TRUE(PumpUntil([&] { return window.WorkerRunning(ThreadOnline); }));
    window.ExitSequence();
    EXPECT_EQ(view_.endResults_, std::vector<int>{ResultOk});
    EXPECT_EQ(answer.load(), ResultNo);
    EXPECT_TRUE(view_.boxes_.empty());
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(window.WorkerRunning(ThreadOnline));
    EXPECT_FALSE(window.WorkerRunning(ThreadPollPsp));
    window.ExitSequence();  // once only
    EXPECT_EQ(view_.endResults_.size(), 1u);
    // The slow worker was left to finish on its own; it ends before what it uses goes.
    release.Set();
    EXPECT_TRUE(PumpUntil([&] { return finished.load(); }));
  }
}

TEST(WindowGeometry, PlacementFitsTheStoredRectangleToTheWorkArea) {
  const Rect work{0, 0, 1280, 1000};
  const struct {
    Rect stored;
    Rect expected;
    bool maximized;
  } kCases[] = {
      {{100, 50, 800, 600}, {100, 50, 800, 600}, false},
      {{-1, -1, 780, 570}, {0, 0, 780, 570}, false},        // the defaults
      {{2000, 1500, 780, 570}, {0, 0, 780, 570}, false},    // beyond the right and bottom
      {{900, 700, 800, 600}, {900, 700, 740, 520}, false},  // cut, but not below the minimum
      {{0, 0, 1280, 1000}, {20, 20, 1240, 960}, true},      // the whole work area: maximized
      {{-50, -50, 5000, 5000}, {20, 20, 1240, 960}, true},
  };
  for (const auto& c : kCases) {
    const Placement placement = PlacementFor(c.stored, work);
    EXPECT_EQ(placement.rect, c.expected) << c.stored.left << "," << c.stored.top;
    EXPECT_EQ(placement.maximized, c.maximized);
  }
}

TEST(WindowGeometry, CaptionDoubleClicksByPosition) {
  const Rect caption{0, 0, 700, 30};
  const struct {
    int x, y;
    CaptionAction action;
  } kCases[] = {
      {1, 1, CaptionAction::Exit},
      {39, 30, CaptionAction::Exit},
      {40, 11, CaptionAction::About},
      {249, 29, CaptionAction::About},
      {100, 5, CaptionAction::MaximizeOrRestore},
      {300, 15, CaptionAction::MaximizeOrRestore},
      {300, 31, CaptionAction::None},
      {700, 15, CaptionAction::None},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(CaptionDoubleClickAction(c.x, c.y, caption), c.action) << c.x << "," << c.y;
}

TEST(ContextMenus, ChosenByWhereTheClickWas) {
  EXPECT_EQ(ContextMenuFor(false, false, false), MenuEmptyTopLevel);
  EXPECT_EQ(ContextMenuFor(false, false, true), MenuEmptyInGroup);
  EXPECT_EQ(ContextMenuFor(true, true, false), MenuGroupItem);
  EXPECT_EQ(ContextMenuFor(true, false, false), MenuFileItem);
  EXPECT_EQ(ContextMenuFor(true, false, true), MenuFileInGroup);
  EXPECT_EQ(ContextMenuCommands(MenuGroupItem),
            (std::vector<int>{MenuOpen, MenuRename, MenuDelete, MenuNewGroupFolder}));
}

}  // namespace
}  // namespace pspkvx
