#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/Process.h"
#include "support/TempDir.h"
#include "support/TestPictures.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

test::ProcessResult Cli(std::vector<std::string> args) {
  return test::RunCli(std::move(args));
}

class CliPhoto : public ::testing::Test {
 protected:
  CliPhoto() {
    fs::create_directories(Stick());
    test::WritePicture(dir_.File("Holiday.png"), FIF_PNG, 640, 480);
  }

  std::string Stick() const { return dir_.File("stick"); }
  std::string OnStick(const std::string& name) const { return Stick() + "/PSP/Photo/" + name; }
  test::ProcessResult Convert(std::vector<std::string> more, const std::string& source = "") {
    std::vector<std::string> args = {
        "photo",   "convert", source.empty() ? dir_.File("Holiday.png") : source,
        "--stick", Stick(),   "--json"};
    args.insert(args.end(), more.begin(), more.end());
    return Cli(args);
  }

  test::TempDir dir_;
};

TEST_F(CliPhoto, APictureBecomesAJpegInThePhotoFolderOrItsGroup) {
  const auto fit = Convert({"--mode", "1"});
  ASSERT_EQ(fit.exitCode, 0) << fit.err;
  EXPECT_EQ(
      json::parse(fit.out),
      json({{"file", OnStick("Holiday.jpg")}, {"width", 362}, {"height", 272}, {"written", true}}));
  EXPECT_EQ(test::ReadPictureInfo(OnStick("Holiday.jpg")).format, FIF_JPEG);

  const auto group = Convert({"--mode", "3", "--group", "Trips"});
  ASSERT_EQ(group.exitCode, 0) << group.err;
  EXPECT_EQ(json::parse(group.out)["file"], OnStick("Trips/Holiday.jpg"));
  EXPECT_EQ(test::ReadPictureInfo(OnStick("Trips/Holiday.jpg")).width, 480u);
}

TEST_F(CliPhoto, AnExistingJpegIsKeptUnlessTheOptionSaysOtherwise) {
  const std::string renamed = dir_.File("elsewhere.jpg");
  const struct {
    std::vector<std::string> option;
    bool written;
    std::string file;  // reported
  } kCases[] = {
      {{}, false, OnStick("Holiday.jpg")},
      {{"--on-exists", "skip"}, false, OnStick("Holiday.jpg")},
      {{"--on-exists", "overwrite"}, true, OnStick("Holiday.jpg")},
      {{"--on-exists", "rename:" + renamed}, true, renamed},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.option));
    fs::create_directories(OnStick(""));
    test::WriteFileBytes(OnStick("Holiday.jpg"), "the photo that was there");
    fs::remove(renamed);
    std::vector<std::string> args = {"--mode", "2"};
    args.insert(args.end(), c.option.begin(), c.option.end());
    const auto run = Convert(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const json out = json::parse(run.out);
    EXPECT_EQ(out["written"], c.written);
    EXPECT_EQ(out["file"], c.file);
    EXPECT_EQ(test::ReadPictureInfo(c.file).width, c.written ? 480u : 0u);
    if (c.file != OnStick("Holiday.jpg")) {
      EXPECT_EQ(test::ReadFileBytes(OnStick("Holiday.jpg")), "the photo that was there");
    }
  }
}

TEST_F(CliPhoto, AFailedConversionIsToldAndKeepsTheFileThere) {
  // Wider than a JPEG can be: the encoder refuses it.
  test::WritePicture(dir_.File("panorama.png"), FIF_PNG, 70000, 1);
  fs::create_directories(OnStick(""));
  test::WriteFileBytes(OnStick("panorama.jpg"), "the photo that was there");
  const auto run = Convert({"--mode", "0", "--on-exists", "overwrite"}, dir_.File("panorama.png"));
  EXPECT_EQ(run.exitCode, 1);
  const std::string message =
      "Sorry, couldn't convert this image. May be due to the image containing multiple layers "
      "or transparencies.\r\n\r\npanorama.jpg";
  EXPECT_EQ(json::parse(run.out), json({{"message", message}}));
  EXPECT_EQ(run.err,
            "pspkvx-cli: Sorry, couldn't convert this image. May be due to the image containing "
            "multiple layers or transparencies.    panorama.jpg\n");
  EXPECT_EQ(test::ReadFileBytes(OnStick("panorama.jpg")), "the photo that was there");
}

TEST_F(CliPhoto, BadUsageIsRefusedBeforeAnythingIsWritten) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--mode", "4"},
           {"--mode", "-1"},
           {},  // no mode
           {"--mode", "1", "--on-exists", "replace"},
           {"--mode", "1", "--on-exists", "rename:"},
           {"--mode", "1", "--group", "../outside"},
           {"--mode", "1", "--group", "what?"},
           {"--mode", "1", "--group", ""},
       }) {
    SCOPED_TRACE(testing::PrintToString(args));
    const auto run = Convert(args);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
  }
  EXPECT_TRUE(fs::is_empty(Stick()));
}

}  // namespace
}  // namespace pspkvx
