#include <gtest/gtest.h>

#include <functional>

#include "app/AppConfig.h"
#include "app/ManagerApp.h"
#include "support/FakePlatform.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using test::FakePlatform;
using test::TempDir;

// A front end whose main window is a function.
class WindowFunction final : public IMainWindowHost {
 public:
  explicit WindowFunction(std::function<int(CManagerApp&)> run) : run_(std::move(run)) {}
  int RunMainWindow(CManagerApp& app) override { return run_(app); }

 private:
  std::function<int(CManagerApp&)> run_;
};

int Start(CManagerApp& app, std::function<int(CManagerApp&)> window) {
  WindowFunction frontEnd(std::move(window));
  return app.InitInstance(frontEnd);
}

TEST(ManagerApp, SecondInstanceAsksTheFirstAndEndsSilently) {
  FakePlatform platform;
  platform.anotherInstanceRuns = true;
  CManagerApp app(platform);
  bool windowRan = false;
  EXPECT_EQ(Start(app,
                  [&](CManagerApp&) {
                    windowRan = true;
                    return ResultOk;
                  }),
            0);
  EXPECT_FALSE(windowRan);
  EXPECT_EQ(platform.raiseRequests, 1);
  EXPECT_EQ(platform.lastLockName, "PSPKVX");  // the program file's base name
}

TEST(ManagerApp, SavesTheConfigurationOnlyWhenTheWindowEndsWithOk) {
  for (int result : {int(ResultOk), int(ResultCancel), -1}) {
    SCOPED_TRACE(result);
    TempDir dir;
    FakePlatform platform;
    platform.programPath = dir.File("PSPKVX");
    CManagerApp app(platform);
    EXPECT_EQ(Start(app,
                    [&](CManagerApp& a) {
                      EXPECT_EQ(a.m_szProgramFolder, dir.path());
                      EXPECT_EQ(a.m_bFirstRun, 1u);
                      EXPECT_EQ(a.m_nPlatform, 2u);
                      a.m_config.PspDriveLetter = 'G';
                      return result;
                    }),
              0);
    EXPECT_EQ(test::FileExists(dir.File("PSPKV.CFG")), result == ResultOk);
  }
}

TEST(ManagerApp, LoadsAnExistingConfiguration) {
  TempDir dir;
  AppConfig config;
  SetConfigDefaults(config, "/docs");
  config.PspDriveLetter = 'M';
  ASSERT_TRUE(SaveConfig(config, dir.path()));
  FakePlatform platform;
  platform.programPath = dir.File("PSPKVX");
  CManagerApp app(platform);
  Start(app, [](CManagerApp& a) {
    EXPECT_EQ(a.m_bFirstRun, 0u);
    EXPECT_EQ(a.m_config.PspDriveLetter, 'M');
    return ResultCancel;
  });
}

TEST(ManagerApp, ProgramFolderAndPlatformFamily) {
  struct Case {
    std::string programPath;
    uint32_t family;
    std::string folder;
    uint32_t platformValue;
  };
  const std::vector<Case> cases = {
      {"/opt/pspkvx/PSPKVX", platform::kOsNt, "/opt/pspkvx", 2},
      {"PSPKVX", platform::kOsWin9x, "PSPKVX", 1},  // no separator: the whole name
      {"", 7, "/home/user", 0},                     // unknown path: the current folder
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.programPath);
    FakePlatform platform;
    platform.programPath = c.programPath;
    platform.osFamily = c.family;
    CManagerApp app(platform);
    EXPECT_EQ(app.FindProgramFolder(), c.folder);
    EXPECT_EQ(app.DetectPlatform(), c.platformValue);
  }
}

TEST(ManagerApp, PreTranslateSwallowsOnlyEnterKeyDown) {
  EXPECT_TRUE(CManagerApp::PreTranslateMessage(0x0100, 13));
  EXPECT_FALSE(CManagerApp::PreTranslateMessage(0x0101, 13));  // key up goes on
  EXPECT_FALSE(CManagerApp::PreTranslateMessage(0x0100, 27));
}

TEST(ManagerApp, MessageBoxesGoThroughTheHostWithTheShowingFlag) {
  FakePlatform platform;
  CManagerApp app(platform);
  test::ScriptedHost host;
  host.Answer({ResultNo});
  app.SetMessageBoxHost(&host);
  EXPECT_EQ(app.DoMessageBox("Delete?", MbYesNo), ResultNo);
  EXPECT_TRUE(host.flaggedWhileShown());
  EXPECT_EQ(host.texts(), std::vector<std::string>{"Delete?"});
}

TEST(MessageBoxTypes, ButtonSets) {
  struct Case {
    int type;
    int count;
    std::array<int, 4> results;
  };
  const std::vector<Case> cases = {
      {0, 1, {1, 0, 0, 0}},         {2, 1, {1, 0, 0, 0}},     {6, 1, {1, 0, 0, 0}},
      {1, 2, {1, 2, 0, 0}},         {39319, 2, {1, 2, 0, 0}}, {4, 2, {6, 7, 0, 0}},
      {5, 2, {4, 2, 0, 0}},         {3, 3, {6, 7, 2, 0}},     {39320, 3, {6, 7, 2, 0}},
      {39321, 4, {6, 7, 2, 39321}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    const MessageBoxButtonSet set = ButtonSetForType(c.type);
    EXPECT_EQ(set.count, c.count);
    EXPECT_EQ(set.results, c.results);
  }
}

}  // namespace
}  // namespace pspkvx
