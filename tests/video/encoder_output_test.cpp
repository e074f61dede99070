#include <gtest/gtest.h>

#include <string>

#include "video/EncoderOutput.h"

namespace pspkvx {
namespace {

TEST(EncoderOutput, DurationThenTimeGiveThePercentage) {
  EncoderProgress progress;
  EXPECT_FALSE(ParseEncoderOutput(
      progress, "Input #0, avi\n  Duration: 00:01:23.4, start: 0.000000, bitrate: 1 kb/s\n",
      false));
  EXPECT_EQ(progress.duration, 83);
  EXPECT_TRUE(ParseEncoderOutput(progress, "frame=  10 q=2.0 size= 1kB time=41.5 bitrate=", false));
  EXPECT_EQ(progress.currentTime, 41);
  EXPECT_NEAR(progress.percent, 49.4, 0.05);
  // Quiet: the time is taken, the percentage left.
  EXPECT_FALSE(ParseEncoderOutput(progress, "time=83.0", true));
  EXPECT_EQ(progress.currentTime, 83);
  EXPECT_NEAR(progress.percent, 49.4, 0.05);
}

TEST(EncoderOutput, ChunksAreReadAsTheEncoderPrintsThem) {
  const struct {
    const char* name;
    std::string chunk;
    int64_t duration;  // after the chunk, from a fresh state
    int64_t time;
  } kCases[] = {
      {"leading zeros", "  Duration: 00:08:09.00, start: 0", 489, 0},
      {"hours", "Duration: 01:00:01.5, start", 3601, 0},
      {"both markers: only the time", "Duration: 00:01:23.4, start: 0 time=12.0", 0, 12},
      {"clock time", "time=00:00:41.50 bitrate", 0, 41},
      {"time at the end", "frame= 1 time=", 0, 0},
      {"duration at the end", "  Duration:", 0, 0},
      {"duration marker without text after it", "Duration:      ", 0, 0},
      {"a field that cannot be read", "Duration: 00:xx:09.0, start", 0, 0},
      {"no duration given", "Duration: N/A, start: 0.000", 0, 0},
      // Fields too large for any video are held so that their sum cannot overflow.
      {"huge hours", "Duration: 999999999999999999:00:00, start", 999'999'999'999LL * 3600, 0},
      {"huge clock time", "time=999999999999999999:59:59.0", 0, 999'999'999'999LL * 3600 + 3599},
      {"field before start", "foo 00:02:03.00, start: 0", 123, 0},
      {"negative time", "time=-5.0", 0, -5},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EncoderProgress progress;
    ParseEncoderOutput(progress, c.chunk, false);
    EXPECT_EQ(progress.duration, c.duration);
    EXPECT_EQ(progress.currentTime, c.time);
    EXPECT_GE(progress.percent, 0.0F);
  }
}

TEST(EncoderOutput, WithoutAClockRightBeforeItsStartTheFirstNonZeroClockOfTheChunkCounts) {
  EncoderProgress progress;
  ParseEncoderOutput(progress, "Input #0\n  Length 00:00:00 then 00:02:05.10", false);
  EXPECT_EQ(progress.duration, 0);
  // ", start" with no clock before it: the chunk, saved while no duration is known, is searched.
  ParseEncoderOutput(progress, "x 00:00:00 y 00:00:30.00 , start: 0", false);
  EXPECT_EQ(progress.duration, 30);
}

TEST(EncoderOutput, ThePercentageStaysWithinTheScale) {
  EncoderProgress progress;
  ParseEncoderOutput(progress, "Duration: 00:00:10.00, start", false);
  ASSERT_EQ(progress.duration, 10);
  ParseEncoderOutput(progress, "time=25.0", false);
  EXPECT_EQ(progress.percent, 100.0F);
  ParseEncoderOutput(progress, "time=-3.0", false);
  EXPECT_EQ(progress.percent, 0.0F);
  ParseEncoderOutput(progress, "time=99999999999999999999999", false);
  EXPECT_EQ(progress.percent, 100.0F);
}

}  // namespace
}  // namespace pspkvx
