#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

#include "support/Process.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using nlohmann::json;

// pspkvx-cli with the simulated PSP in stick (plugged in while that folder exists).
test::ProcessResult PspCli(const std::string& stick, std::vector<std::string> args) {
  args.insert(args.begin(), test::ProgramFolderFile("pspkvx-cli"));
  return test::RunProcess(args, {{"HOME", "/home/nobody-here"},
                                 {"PSPKVX_SIMULATED_PSP", stick},
                                 {"PSPKVX_SIMULATED_CAPACITY", "16000000000"}});
}

class PspCliTest : public ::testing::Test {
 protected:
  std::string Stick() const { return dir_.File("stick"); }
  test::ProcessResult Status(std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"psp", "status", "--folder", dir_.path(), "--json"};
    args.insert(args.end(), extra.begin(), extra.end());
    return PspCli(Stick(), args);
  }
  void Configure(const std::string& field, const std::string& value) {
    ASSERT_EQ(PspCli(Stick(), {"config", "set", field, value, "--folder", dir_.path()}).exitCode,
              0);
  }
  test::TempDir dir_;
};

TEST_F(PspCliTest, StatusFindsTheSimulatedPspInSearchMode) {
  std::filesystem::create_directory(Stick());
  const auto run = Status();
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const json out = json::parse(run.out);
  EXPECT_EQ(out["state"], 2);
  EXPECT_EQ(out["text"], "PSP ready on drive P");
  EXPECT_EQ(out["drive"], "P");
  EXPECT_EQ(out["root"], Stick() + "/");
  EXPECT_EQ(out["total"], 16000000000u);  // above 4 GiB
  EXPECT_LE(out["free"].get<uint64_t>(), 16000000000u);
  EXPECT_NE(std::find(out["usb"].begin(), out["usb"].end(),
                      "\\\\?\\usb#vid_054c&pid_01c8#PSPKVXSIMULATED#"
                      "{a5dcbf10-6530-11d2-901f-00c04fb951ed}"),
            out["usb"].end());
  // Looking does not change the configuration file.
  EXPECT_FALSE(test::FileExists(dir_.File("PSPKV.CFG")));

  const auto text = PspCli(Stick(), {"psp", "status", "--folder", dir_.path()});
  EXPECT_NE(text.out.find("State: 2\nText: PSP ready on drive P\nDrive: P\n"), std::string::npos)
      << text.out;
}

TEST_F(PspCliTest, StatusByStateAndMode) {
  auto out = json::parse(Status().out);  // no folder: unplugged
  EXPECT_EQ(out["state"], 5);
  EXPECT_EQ(out["text"], "Please connect PSP via usb");
  EXPECT_EQ(out["drive"], "");
  EXPECT_EQ(out["free"], 0);
  EXPECT_EQ(out["total"], 0);

  std::filesystem::create_directory(Stick());
  Configure("SearchForPsp", "0");
  Configure("PspDriveLetter", "Q");
  out = json::parse(Status().out);
  EXPECT_EQ(out["state"], 5);
  EXPECT_EQ(out["text"], "PSP not present on drive Q");
  EXPECT_EQ(out["drive"], "Q");
  EXPECT_EQ(out["root"], "");

  Configure("PspDriveLetter", "P");
  out = json::parse(Status().out);
  EXPECT_EQ(out["state"], 2);
  EXPECT_EQ(out["text"], "PSP ready on drive P");
}

TEST_F(PspCliTest, NextVideoNameOfAFolder) {
  const std::string folder = dir_.File("100mnv01");
  std::filesystem::create_directory(folder);
  test::WriteFileBytes(folder + "/M4V00001.MP4", "");
  test::WriteFileBytes(folder + "/maq00001.mp4", "");
  auto run = PspCli(Stick(), {"psp", "next-video-name", folder, "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(json::parse(run.out), json({{"name", "M4V00002.MP4"}}));
  run = PspCli(Stick(), {"psp", "next-video-name", folder + "/", "--avc"});
  EXPECT_EQ(run.out, "MAQ00002.MP4\n");
  EXPECT_EQ(PspCli(Stick(), {"psp", "next-video-name"}).exitCode, 2);
}

TEST(CliSize, FormatsByteCountsAndRefusesOthers) {
  const auto size = [](const std::string& bytes) {
    return PspCli("/nonexistent", {"size", bytes, "--json"});
  };
  for (const auto& [bytes, text] :
       std::vector<std::pair<std::string, std::string>>{{"10239", "10 Kb"},
                                                        {"10240", "0.01Mb"},
                                                        {"1048576", "1.00Mb"},
                                                        {"8589934592", "8192.00Mb"}}) {
    const auto run = size(bytes);
    EXPECT_EQ(run.exitCode, 0) << bytes;
    EXPECT_EQ(json::parse(run.out), json({{"text", text}})) << bytes;
  }
  EXPECT_EQ(PspCli("/nonexistent", {"size", "1"}).out, "1 Kb\n");
  for (const std::string refused : {"-1", "12k", "", "18446744073709551616"}) {
    const auto run = size(refused);
    EXPECT_EQ(run.exitCode, 2) << refused;
    EXPECT_FALSE(run.err.empty());
  }
}

}  // namespace
}  // namespace pspkvx
