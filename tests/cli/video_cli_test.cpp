#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/Process.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using nlohmann::json;

json RunJson(std::vector<std::string> args, int exitCode = 0) {
  args.push_back("--json");
  const auto run = test::RunCli(args);
  EXPECT_EQ(run.exitCode, exitCode) << run.err;
  return json::parse(run.out, nullptr, false);
}

TEST(CliVideo, ArgsGiveTheTextAndOneArgumentPerValue) {
  const std::string source = "/videos/It's \"$(date)\" night.avi";
  const json out =
      RunJson({"video", "args", source, "--level", "0", "--wide", "--out", "/o/x y.mp4"});
  EXPECT_EQ(out["text"], "-y -i \"" + source +
                             "\" -title \"It's \"$(date)\" night\" -f psp -g 250 -r 14.985 "
                             "-s 368x208 -b 60 -ar 24000 -ab 16 -ac 2 -aspect 16:9 \"/o/x y.mp4\"");
  ASSERT_EQ(out["argv"].size(), 24u);
  EXPECT_EQ(out["argv"][2], source);
  EXPECT_EQ(out["argv"][4], "It's \"$(date)\" night");
  EXPECT_EQ(out["argv"][23], "/o/x y.mp4");

  // The default output is PSP.MP4 in the program folder; AVC takes its own template.
  const json avc = RunJson({"video", "args", "in.mov", "--avc"});
  const std::string last = avc["argv"].back();
  EXPECT_EQ(last.substr(last.size() - 8), "/PSP.MP4");
  EXPECT_NE(avc["text"].get<std::string>().find("-vcodec h264"), std::string::npos);
  RunJson({"video", "args", "in.mov", "--level", "16"}, 2);
}

TEST(CliVideo, ThumbArgsSeekBySizeAndParseOutputReadsInChunks) {
  test::TempDir dir;
  const std::string big = dir.File("big.avi");
  test::WriteFileBytes(big, std::string(5000000, 'v'));
  EXPECT_EQ(RunJson({"video", "thumb-args", big, "--frame", "/f.gif"})["argv"][4], "00:01:00.0");
  EXPECT_EQ(RunJson({"video", "thumb-args", dir.File("none.avi")})["argv"][4], "00:00:06.0");

  const std::string output = dir.File("ffmpeg.txt");
  test::WriteFileBytes(output,
                       "Input #0, avi, from 'a.avi':\n  Duration: 00:01:23.40, start: 0.000000\n" +
                           std::string(600, ' ') + "frame= 10 time=41.5 bitrate=\n");
  const json parsed = RunJson({"video", "parse-output", output});
  EXPECT_EQ(parsed["duration"], 83);
  EXPECT_EQ(parsed["time"], 41);
  EXPECT_NEAR(parsed["percent"].get<double>(), 49.4, 0.05);
  // One chunk holding both markers: only the time counts.
  const json whole = RunJson({"video", "parse-output", output, "--chunk", "100000"});
  EXPECT_EQ(whole["duration"], 0);
  EXPECT_EQ(whole["time"], 41);
  RunJson({"video", "parse-output", dir.File("missing.txt")}, 1);
}

TEST(CliVideo, IsAvcReadsTheMp4Header) {
  test::TempDir dir;
  std::string header(200, '\0');
  header.replace(140, 3, "avc");
  test::WriteFileBytes(dir.File("avc.mp4"), header);
  test::WriteFileBytes(dir.File("short.mp4"), header.substr(0, 143));
  EXPECT_EQ(RunJson({"video", "is-avc", dir.File("avc.mp4")})["avc"], true);
  EXPECT_EQ(RunJson({"video", "is-avc", dir.File("short.mp4")})["avc"], false);
  EXPECT_NE(RunJson({"video", "is-avc", dir.File("gone.mp4")}, 1)["message"], nullptr);
}

// A generated clip of seconds with sound.
std::string Clip(const test::TempDir& dir, const std::string& name, int seconds) {
  const std::string path = dir.File(name);
  const int made = std::system(("ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -f "
                                "lavfi -i sine -t " +
                                std::to_string(seconds) + " -c:v mpeg4 -c:a mp3 '" + path + "'")
                                   .c_str());
  EXPECT_EQ(made, 0);
  return path;
}

TEST(CliVideo, ConvertWritesAFileOrSendsToTheStickAndThumbTakesAFrame) {
  test::TempDir dir;
  const std::string clip = Clip(dir, "clip.avi", 7);
  const std::string out = dir.File("out/clip.mp4");
  std::filesystem::create_directories(dir.File("out"));
  const json converted = RunJson({"video", "convert", clip, "--out", out, "--wide"});
  EXPECT_EQ(converted["result"], 0);
  EXPECT_EQ(converted["output"], out);
  EXPECT_EQ(converted["thumbnail"], dir.File("out/clip.thm"));
  EXPECT_GT(std::filesystem::file_size(out), 0u);

  const std::string stick = dir.File("stick");
  std::filesystem::create_directories(stick);
  const json sent = RunJson({"video", "convert", clip, "--stick", stick, "--avc"});
  EXPECT_EQ(sent["result"], 0);
  EXPECT_EQ(sent["output"], stick + "/mp_root/100anv01/MAQ00001.MP4");
  EXPECT_EQ(sent["thumbnail"], stick + "/mp_root/100anv01/MAQ00001.thm");

  EXPECT_EQ(RunJson({"video", "thumb", clip, dir.File("t/v.avi")}, 1).count("message"), 1u);
  std::filesystem::create_directories(dir.File("t"));
  EXPECT_EQ(RunJson({"video", "thumb", clip, dir.File("t/v.avi")})["thumbnail"],
            dir.File("t/v.thm"));
  const std::string shortClip = Clip(dir, "short.avi", 2);
  EXPECT_NE(RunJson({"video", "thumb", shortClip, dir.File("t/s.avi")}, 1)["message"], nullptr);

  // Usage: one target, never the video itself.
  RunJson({"video", "convert", clip}, 2);
  RunJson({"video", "convert", clip, "--out", out, "--stick", stick}, 2);
  EXPECT_NE(RunJson({"video", "convert", clip, "--out", clip}, 1)["message"], nullptr);
  EXPECT_TRUE(std::filesystem::exists(clip));
}

}  // namespace
}  // namespace pspkvx
