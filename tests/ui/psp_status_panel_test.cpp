#include "ui/PspStatusPanel.h"

#include <gtest/gtest.h>

#include "support/FakePlatform.h"

namespace pspkvx {
namespace {

constexpr uint64_t kMiB = uint64_t(1) << 20;

class PspStatusPanelTest : public ::testing::Test {
 protected:
  PspStatusPanelTest() { SetConfigDefaults(config_, "/docs"); }

  test::FakePlatform platform_;
  AppConfig config_{};
  CPspDrive drive_{platform_, config_, platform::kOsNt};
  PspStatusPanel panel_{drive_, config_};
};

TEST_F(PspStatusPanelTest, TakesAStateChangeOnlyWhileTheDetectorIsIdle) {
  EXPECT_FALSE(panel_.Tick().stateChanged);  // still searching
  drive_.SetState(PspReady);
  ASSERT_TRUE(drive_.TryBeginPoll());  // a poll is running
  EXPECT_FALSE(panel_.Tick().stateChanged);
  EXPECT_EQ(panel_.SeenState(), PspSearching);
  drive_.EndPoll();
  ++g_nProbeCount;  // a drive probe from another thread
  EXPECT_FALSE(panel_.Tick().stateChanged);
  --g_nProbeCount;
  const auto tick = panel_.Tick();
  EXPECT_TRUE(tick.stateChanged);
  EXPECT_TRUE(tick.iconChanged);
  EXPECT_EQ(panel_.SeenState(), PspReady);
  EXPECT_FALSE(panel_.Tick().stateChanged);  // once per change
}

TEST_F(PspStatusPanelTest, StatusTextByStateAndMode) {
  const struct {
    int state;
    int search;
    char drive;
    const char* text;
  } cases[] = {
      {PspReady, 1, 'G', "PSP ready on drive G"},
      {PspReady, 0, 'K', "PSP ready on drive K"},
      {PspNotFound, 0, 'K', "PSP not present on drive K"},
      {PspNotFound, 1, 'D', "Please connect PSP via usb"},
      {PspSearching, 1, 'Z', "Searching for PSP..."},
      {PspSearching, 0, 'K', "Searching for PSP..."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    config_.SearchForPsp = c.search;
    drive_.SetDriveLetter(c.drive);
    drive_.SetState(c.state);
    panel_.Tick();
    EXPECT_EQ(panel_.StatusText(), c.text);
  }
}

TEST_F(PspStatusPanelTest, IconAnimatesEverySeventhTickUntilConnected) {
  std::vector<int> phases;
  for (int tick = 1; tick <= 28; ++tick) {
    const bool moved = panel_.Tick().iconChanged;
    EXPECT_EQ(moved, tick % 7 == 0) << tick;
    if (moved) phases.push_back(panel_.IconPhase());
  }
  EXPECT_EQ(phases, std::vector<int>({2, 3, 1, 2}));
  EXPECT_FALSE(panel_.IconConnected());

  drive_.SetState(PspReady);
  EXPECT_TRUE(panel_.Tick().iconChanged);  // the face changes at once
  EXPECT_TRUE(panel_.IconConnected());
  for (int tick = 0; tick < 6; ++tick)
    panel_.Tick();  // to the next seventh tick
  EXPECT_EQ(panel_.IconPhase(), 3);
  for (int tick = 0; tick < 14; ++tick)
    EXPECT_FALSE(panel_.Tick().iconChanged);  // stays put

  drive_.SetState(PspNotFound);
  panel_.Tick();
  EXPECT_FALSE(panel_.IconConnected());
}

TEST_F(PspStatusPanelTest, FreeSpaceAndPspCommandsOnlyWhileReady) {
  platform_.PlugInPsp('G', "/media/psp/", 1000 * 1000 * 1000, 250 * kMiB);
  EXPECT_FALSE(panel_.ShowsFreeSpace());
  EXPECT_FALSE(panel_.PspCommandsEnabled(false));
  drive_.Poll();
  panel_.Tick();
  EXPECT_TRUE(panel_.ShowsFreeSpace());
  EXPECT_EQ(panel_.FreeSpaceText(), "250.0Mb free (1000Mb)");
  EXPECT_EQ(panel_.FreeSpaceFill(), 73);
  EXPECT_TRUE(panel_.PspCommandsEnabled(false));
  EXPECT_FALSE(panel_.PspCommandsEnabled(true));  // a transfer is running

  drive_.SetState(PspSearching);
  panel_.Tick();
  EXPECT_FALSE(panel_.ShowsFreeSpace());
  EXPECT_FALSE(panel_.PspCommandsEnabled(false));
}

TEST_F(PspStatusPanelTest, HelpButtonShowsTheGuideThreeTimesThenTheDevicePaths) {
  using Panel = PspStatusPanel;
  std::vector<Panel::HelpAction> actions;
  for (int press = 0; press < 5; ++press)
    actions.push_back(panel_.PressHelp());
  EXPECT_EQ(actions, std::vector<Panel::HelpAction>(
                         {Panel::HelpShowGuide, Panel::HelpShowGuide, Panel::HelpShowGuide,
                          Panel::HelpShowDevicePaths, Panel::HelpShowGuide}));
  drive_.SetState(PspReady);  // no guide while the PSP is ready; the count goes on
  EXPECT_EQ(panel_.PressHelp(), Panel::HelpNothing);
  EXPECT_EQ(panel_.PressHelp(), Panel::HelpNothing);
  EXPECT_EQ(panel_.PressHelp(), Panel::HelpShowDevicePaths);
}

}  // namespace
}  // namespace pspkvx
