#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/AppConfig.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using test::RunProcess;
using test::TempDir;

test::ProcessResult Cli(std::vector<std::string> args) {
  return test::RunCli(std::move(args));
}

TEST(CliChecksum, PrintsTheRecordChecksumOfAFile) {
  TempDir dir;
  test::WriteFileBytes(dir.File("empty"), "");
  test::WriteFileBytes(dir.File("abc"), "abc");
  EXPECT_EQ(Cli({"checksum", dir.File("empty")}).out, "abc46462\n");
  const auto json = Cli({"checksum", dir.File("abc"), "--json"});
  EXPECT_EQ(json.exitCode, 0);
  EXPECT_EQ(nlohmann::json::parse(json.out), nlohmann::json({{"checksum", "afc46434"}}));
  const auto missing = Cli({"checksum", dir.File("nothing")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("cannot open"), std::string::npos);
  EXPECT_EQ(Cli({"checksum"}).exitCode, 2);
}

TEST(CliConfig, ShowPrintsEveryFieldWithTypes) {
  TempDir dir;
  const auto run = Cli({"config", "show", "--folder", dir.path(), "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["Magic"], "PSPKVXQ001");
  EXPECT_EQ(json["FileListColumnWidths"], nlohmann::json({0, 184, 86, 172, 400}));
  EXPECT_EQ(json["PspDriveLetter"], "D");
  EXPECT_EQ(json["WindowLeft"], -1);
  EXPECT_EQ(json["ScreenSize"], 0x01E00110);
  EXPECT_EQ(json["PcFolder"], "/home/nobody-here");
  EXPECT_EQ(json["first_run"], true);
  for (const char* name : {"SecondListColumnWidths", "PhotoCopyMode", "SearchForPsp",
                           "NoUpdateCheckAtStart", "WindowTop", "WindowWidth", "WindowHeight",
                           "ListFontHeight", "LastAddFolder", "OnlineUserName", "OnlinePassword",
                           "ConvertFolder", "VideoOptions", "OnlineRegion", "ListViewToggles"})
    EXPECT_TRUE(json.contains(name)) << name;
  // Showing does not write anything.
  EXPECT_FALSE(test::FileExists(dir.File("PSPKV.CFG")));
}

TEST(CliConfig, SetSavesValidValuesAndRefusesBrokenOnes) {
  TempDir dir;
  ASSERT_EQ(Cli({"config", "set", "PspDriveLetter", "k", "--folder", dir.path()}).exitCode, 0);
  ASSERT_EQ(Cli({"config", "set", "OnlineUserName", "ann", "--folder", dir.path()}).exitCode, 0);
  const std::string saved = test::ReadFileBytes(dir.File("PSPKV.CFG"));
  ASSERT_EQ(saved.size(), kConfigFileSize);

  for (std::vector<std::string> refused : {
           std::vector<std::string>{"PspDriveLetter", "B"},
           {"VideoOptions", "7"},
           {"OnlineRegion", "4"},
           {"OnlineUserName", std::string(256, 'n')},
           {"NoSuchField", "1"},
       }) {
    SCOPED_TRACE(refused[0]);
    const auto run = Cli({"config", "set", refused[0], refused[1], "--folder", dir.path()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_FALSE(run.err.empty());
    EXPECT_EQ(test::ReadFileBytes(dir.File("PSPKV.CFG")), saved);  // nothing written
  }

  const auto show = Cli({"config", "show", "--folder", dir.path(), "--json"});
  const auto json = nlohmann::json::parse(show.out);
  EXPECT_EQ(json["PspDriveLetter"], "K");
  EXPECT_EQ(json["OnlineUserName"], "ann");
  EXPECT_EQ(json["first_run"], false);
}

TEST(CliConfig, RefusedValueOnAFreshFolderWritesNoFile) {
  TempDir dir;
  EXPECT_EQ(Cli({"config", "set", "OnlineRegion", "9", "--folder", dir.path()}).exitCode, 2);
  EXPECT_FALSE(test::FileExists(dir.File("PSPKV.CFG")));
}

}  // namespace
}  // namespace pspkvx
