#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "video/VideoProfile.h"

namespace pspkvx {
namespace {

TEST(VideoProfile, LevelsAndEncodingsGiveTheTableRows) {
  struct Case {
    int level;
    bool avc;
    int video;
    std::string rate;
    int audio;
    int sampleRate;
  } kCases[] = {
      {0, false, 60, "14.985", 16, 24000},  {0, true, 60, "14.985", 32, 48000},
      {1, false, 100, "14.985", 32, 24000}, {2, false, 180, "29.97", 48, 24000},
      {3, true, 250, "29.97", 64, 48000},   {4, false, 400, "29.97", 96, 24000},
      {5, true, 768, "29.97", 128, 48000},  {6, false, 768, "30", 128, 48000},
      {15, true, 768, "30", 128, 48000},    {-1, false, 768, "30", 128, 48000},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "level " << c.level << (c.avc ? " avc" : " mpeg4"));
    const VideoProfile profile = VideoProfileFor(c.level, c.avc);
    EXPECT_EQ(profile.videoBitRate, c.video);
    EXPECT_EQ(profile.frameRate, c.rate);
    EXPECT_EQ(profile.audioBitRate, c.audio);
    EXPECT_EQ(profile.sampleRate, c.sampleRate);
    EXPECT_EQ(profile.channels, 2);
  }
}

TEST(VideoProfile, TheArgumentTextIsTheTemplateAndEveryValueIsOneArgument) {
  const EncoderCommand wide = VideoConversionCommand(
      "/v/in.avi", "Holiday", VideoProfileFor(0, false), false, true, "/p/PSP.MP4");
  EXPECT_EQ(wide.text,
            "-y -i \"/v/in.avi\" -title \"Holiday\" -f psp -g 250 -r 14.985 -s 368x208 -b 60 "
            "-ar 24000 -ab 16 -ac 2 -aspect 16:9 \"/p/PSP.MP4\"");
  EXPECT_EQ(wide.argv, (std::vector<std::string>{
                           "-y",      "-i",  "/v/in.avi", "-title",  "Holiday", "-f",
                           "psp",     "-g",  "250",       "-r",      "14.985",  "-s",
                           "368x208", "-b",  "60",        "-ar",     "24000",   "-ab",
                           "16",      "-ac", "2",         "-aspect", "16:9",    "/p/PSP.MP4"}));

  const EncoderCommand avc =
      VideoConversionCommand("in.mov", "t", VideoProfileFor(2, true), true, false, "out.mp4");
  EXPECT_EQ(avc.text,
            "-y -i \"in.mov\" -title \"t\" -bitexact -vcodec h264 -coder 1 -g 250 -acodec aac "
            "-r 29.97 -bufsize 768 -s 320x240 -b 180 -ar 48000 -ab 48 -g 250 -ac 2 -f psp "
            "\"out.mp4\"");
  EXPECT_EQ(avc.argv.size(), 33u);

  // Quotes, spaces and shell syntax in a path or title stay inside their one argument.
  const std::string title = "My \"best\" $(rm -rf ~) `x`";
  const std::string source = "/v/a \"b\" c.avi";
  const EncoderCommand odd =
      VideoConversionCommand(source, title, VideoProfileFor(2, false), false, false, "/o ut.mp4");
  ASSERT_EQ(odd.argv.size(), 22u);
  EXPECT_EQ(odd.argv[2], source);
  EXPECT_EQ(odd.argv[4], title);
  EXPECT_EQ(odd.argv.back(), "/o ut.mp4");
  EXPECT_NE(odd.text.find("-title \"" + title + "\""), std::string::npos);
}

TEST(VideoProfile, ThumbnailSeeksBySourceSize) {
  const auto seek = [](uint64_t bytes) {
    return ThumbnailCommand("v.avi", bytes, "/p/f.gif").argv[4];
  };
  EXPECT_EQ(seek(0), "00:00:06.0");
  EXPECT_EQ(seek(4999999), "00:00:06.0");
  EXPECT_EQ(seek(5000000), "00:01:00.0");
  EXPECT_EQ(ThumbnailCommand("v.avi", 1, "/p/f.gif").text,
            "-y -i \"v.avi\" -ss 00:00:06.0 -vframes 1 -s 160x120 \"/p/f.gif\"");
}

TEST(VideoProfile, TitlesLoseTheExtensionAndStopAtSixtyCharacters) {
  const struct {
    std::string name;
    std::string title;
  } kCases[] = {
      {"Holiday.avi", "Holiday"},
      {".avi", "PSP Video"},
      {"", "PSP Video"},
      {std::string(75, 'x'), std::string(60, 'x')},
      {std::string(70, 'y') + ".mpeg", std::string(60, 'y')},
      {"a.b.c.wmv", "a.b.c"},
      {"folder.d\\name", "folder.d\\name"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(MakeVideoTitle(c.name), c.title) << c.name;
}

TEST(EncoderCommand, PlaceholdersThatDoNotMatchTheValuesFormNothing) {
  EXPECT_FALSE(FormEncoderCommand("-i \"%s\" -b %i", {"a"}));
  EXPECT_FALSE(FormEncoderCommand("-i \"%s\"", {"a", 1}));
  EXPECT_FALSE(FormEncoderCommand("-b %i", {"text"}));
  const auto fine = FormEncoderCommand("-i  \"%s\"", {"a b"});
  ASSERT_TRUE(fine);
  EXPECT_EQ(fine->argv, (std::vector<std::string>{"-i", "a b"}));
}

}  // namespace
}  // namespace pspkvx
