#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "video/LegacyEncoderArguments.h"
#include "video/VideoProfile.h"

namespace pspkvx {
namespace {

using Args = std::vector<std::string>;

// Whether sequence appears in args as consecutive arguments.
bool Holds(const Args& args, const Args& sequence) {
  return std::search(args.begin(), args.end(), sequence.begin(), sequence.end()) != args.end();
}

TEST(LegacyEncoderArguments, AConversionGetsTodaysEquivalents) {
  const struct {
    const char* name;
    bool avc;
    bool wide;
    int level;
    std::vector<Args> present;
    std::vector<std::string> absent;
  } kCases[] = {
      {"mpeg4 normal",
       false,
       false,
       2,
       {{"-metadata", "title=My \"film\""},
        {"-b:v", "180k"},
        {"-b:a", "48k"},
        {"-r", "30000/1001"},
        {"-c:v", "mpeg4", "-pix_fmt", "yuv420p"},
        {"-map", "0:v:0", "-map", "0:a:0"},
        {"-f", "psp"},
        {"-s", "320x240"}},
       {"-title", "-b", "-ab", "-vcodec", "-acodec"}},
      {"mpeg4 wide, level 0",
       false,
       true,
       0,
       {{"-r", "15000/1001"}, {"-b:v", "60k"}, {"-aspect", "16:9"}, {"-s", "368x208"}},
       {"-title"}},
      {"avc",
       true,
       false,
       5,
       {{"-c:v", "libx264", "-profile:v", "main", "-level:v", "2.1", "-pix_fmt", "yuv420p", "-refs",
         "2", "-bf", "0"},
        {"-c:a", "aac"},
        {"-bufsize", "768k"},
        {"-b:v", "768k"},
        {"-b:a", "128k"},
        {"-ar", "48000"},
        {"-bitexact"},
        {"-coder", "1"}},
       {"mpeg4", "-vcodec", "-acodec", "-title"}},
      {"fallback row", false, false, 9, {{"-r", "30"}, {"-b:v", "768k"}}, {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const EncoderCommand legacy =
        VideoConversionCommand("/v/in \"x\".avi", "My \"film\"", VideoProfileFor(c.level, c.avc),
                               c.avc, c.wide, "/o/out.mp4");
    const EncoderTranslation out = TranslateLegacyArguments(legacy.argv, true);
    EXPECT_TRUE(out.psp);
    EXPECT_EQ(out.input, "/v/in \"x\".avi");
    EXPECT_TRUE(Holds(out.argv, {"-i", "/v/in \"x\".avi"}));
    EXPECT_EQ(out.argv.back(), "/o/out.mp4");
    for (const Args& sequence : c.present)
      EXPECT_TRUE(Holds(out.argv, sequence)) << sequence.front();
    for (const std::string& gone : c.absent)
      EXPECT_EQ(std::count(out.argv.begin(), out.argv.end(), gone), 0) << gone;
  }
}

TEST(LegacyEncoderArguments, ASourceWithoutAudioGetsSilenceAndAThumbnailPassesAsItIs) {
  const EncoderCommand legacy =
      VideoConversionCommand("in.avi", "t", VideoProfileFor(2, false), false, false, "out.mp4");
  const EncoderTranslation silent = TranslateLegacyArguments(legacy.argv, false);
  EXPECT_TRUE(Holds(silent.argv, {"-i", "in.avi", "-f", "lavfi", "-i",
                                  "anullsrc=channel_layout=stereo:sample_rate=24000"}));
  EXPECT_TRUE(Holds(silent.argv, {"-map", "0:v:0", "-map", "1:a:0", "-shortest", "out.mp4"}));

  const EncoderCommand thumb = ThumbnailCommand("in.avi", 10, "/p/tempthm.gif");
  const EncoderTranslation passed = TranslateLegacyArguments(thumb.argv, true);
  EXPECT_FALSE(passed.psp);
  EXPECT_EQ(passed.argv, thumb.argv);
  EXPECT_EQ(passed.input, "in.avi");
  EXPECT_TRUE(TranslateLegacyArguments({}, true).argv.empty());
}

}  // namespace
}  // namespace pspkvx
