#include "ui/OptionsModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppConfig.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

AppConfig Record(int32_t search, int32_t noCheck, char letter, int32_t region) {
  AppConfig config;
  SetConfigDefaults(config, "/docs");
  config.SearchForPsp = search;
  config.NoUpdateCheckAtStart = noCheck;
  config.PspDriveLetter = letter;
  config.OnlineRegion = region;
  return config;
}

TEST(OptionsModel, OkWithoutChangesKeepsTheFlagsSetsRegion3AndWritesTheRecord) {
  for (const int32_t search : {0, 1}) {
    for (const int32_t noCheck : {0, 1}) {
      SCOPED_TRACE("SearchForPsp " + std::to_string(search) + ", NoUpdateCheckAtStart " +
                   std::to_string(noCheck));
      test::TempDir dir;
      AppConfig config = Record(search, noCheck, 'K', 1);
      OptionsModel options(config);
      EXPECT_EQ(options.FixedDrive(), search == 0);
      EXPECT_EQ(options.CheckAtStart(), noCheck == 0);
      EXPECT_EQ(options.DriveLetter(), 'K');
      EXPECT_EQ(options.Accept(dir.path()), OptionsOutcome::Accepted);
      EXPECT_TRUE(options.ConfigSaved());
      EXPECT_EQ(config.SearchForPsp, search);
      EXPECT_EQ(config.NoUpdateCheckAtStart, noCheck);
      EXPECT_EQ(config.OnlineRegion, 3);

      AppConfig stored;
      EXPECT_FALSE(LoadConfig(stored, dir.path(), "/docs"));
      EXPECT_EQ(stored.SearchForPsp, search);
      EXPECT_EQ(stored.OnlineRegion, 3);
    }
  }
}

TEST(OptionsModel, TheBoxesAreStoredOnlyByOk) {
  test::TempDir dir;
  AppConfig config = Record(1, 1, 'D', 0);
  {
    OptionsModel options(config);
    options.SetFixedDrive(true);
    options.SetCheckAtStart(true);
    EXPECT_EQ(options.Cancel(), OptionsOutcome::Cancelled);
  }
  EXPECT_EQ(config.SearchForPsp, 1);
  EXPECT_EQ(config.NoUpdateCheckAtStart, 1);
  EXPECT_EQ(config.OnlineRegion, 3);  // set when the dialog opened
  {
    OptionsModel options(config);
    options.SetFixedDrive(true);
    EXPECT_EQ(options.CheckForUpdatesNow(), OptionsOutcome::CheckForUpdates);
  }
  EXPECT_EQ(config.SearchForPsp, 1);
  EXPECT_FALSE(test::FileExists(dir.File(kConfigFileName)));
  {
    OptionsModel options(config);
    options.SetFixedDrive(true);
    options.SetCheckAtStart(true);
    options.Accept(dir.path());
  }
  EXPECT_EQ(config.SearchForPsp, 0);
  EXPECT_EQ(config.NoUpdateCheckAtStart, 0);
  {
    OptionsModel options(config);
    options.SetFixedDrive(false);
    options.SetCheckAtStart(false);
    options.Accept(dir.path());
  }
  EXPECT_EQ(config.SearchForPsp, 1);
  EXPECT_EQ(config.NoUpdateCheckAtStart, 1);
}

TEST(OptionsModel, TheSpinWrapsBothWaysAndSurvivesCancel) {
  struct Case {
    char from;
    int steps;
    char to;
  };
  const std::vector<Case> cases = {
      {'K', 1, 'L'},  {'K', -1, 'J'}, {'Z', 1, 'D'},   {'D', -1, 'Z'}, {'Y', 3, 'E'},
      {'E', -3, 'Y'}, {'D', 23, 'D'}, {'D', -47, 'Z'}, {'a', 1, 'E'},  // outside D..Z: from D
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.from) + " " + std::to_string(c.steps));
    AppConfig config = Record(0, 0, c.from, 3);
    OptionsModel options(config);
    options.Spin(c.steps);
    EXPECT_EQ(options.DriveLetter(), c.to);
    options.Cancel();
    EXPECT_EQ(config.PspDriveLetter, c.to);
  }
}

TEST(OptionsModel, VersionTextAndAFailedWrite) {
  AppConfig config = Record(1, 0, 'D', 0);
  OptionsModel options(config);
  EXPECT_EQ(options.VersionText().rfind("Current version is 1.15\r\nUpdates are available", 0), 0u)
      << options.VersionText();
  EXPECT_EQ(options.Accept("/nonexistent/pspkvx"), OptionsOutcome::Accepted);
  EXPECT_FALSE(options.ConfigSaved());
}

}  // namespace
}  // namespace pspkvx
