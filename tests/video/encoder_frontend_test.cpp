// The encoder front-end run as PSPKVX runs it, on generated clips, and its files checked with
// ffprobe against what the PSP plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ChildProcess.h"
#include "support/TempDir.h"
#include "video/EncoderOutput.h"
#include "video/VideoProfile.h"

namespace pspkvx {
namespace {

using platform::StartChildProcess;

struct ProgramRun {
  std::optional<int> code;
  std::string output;
};

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      EncoderProgress* progress = nullptr) {
  ProgramRun run;
  auto child = StartChildProcess(program, args);
  if (!child) return run;
  char chunk[511];
  for (int n; (n = child->ReadOutput(chunk, sizeof chunk, 30000)) > 0;) {
    run.output.append(chunk, static_cast<size_t>(n));
    if (progress)
      ParseEncoderOutput(*progress, std::string_view(chunk, static_cast<size_t>(n)), false);
  }
  run.code = child->WaitFor(30000);
  return run;
}

class EncoderFrontEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ffmpeg_ = new std::string(platform::FindProgramOnPath("ffmpeg"));
    ffprobe_ = new std::string(platform::FindProgramOnPath("ffprobe"));
  }
  static void TearDownTestSuite() {
    delete ffmpeg_;
    delete ffprobe_;
  }
  // A 640x480 clip of seconds, with a tone unless silent.
  std::string Clip(const std::string& name, int seconds, bool withAudio) {
    const std::string path = dir_.File(name);
    std::vector<std::string> args = {
        "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=640x480:rate=25"};
    if (withAudio) args.insert(args.end(), {"-f", "lavfi", "-i", "sine=sample_rate=44100"});
    args.insert(args.end(), {"-t", std::to_string(seconds), "-c:v", "mpeg4"});
    if (withAudio) args.insert(args.end(), {"-c:a", "mp3"});
    args.push_back(path);
    const ProgramRun made = RunProgram(*ffmpeg_, args);
    EXPECT_EQ(made.code, 0) << made.output;
    return path;
  }
  nlohmann::json Probe(const std::string& file) {
    const ProgramRun probe = RunProgram(
        *ffprobe_, {"-v", "error", "-show_streams", "-show_format", "-of", "json", file});
    EXPECT_EQ(probe.code, 0) << probe.output;
    return nlohmann::json::parse(probe.output, nullptr, false);
  }
  static std::string FrontEnd() { return std::string(PSPKVX_PROGRAM_DIR) + "/ffmpeg"; }

  test::TempDir dir_;
  static std::string* ffmpeg_;
  static std::string* ffprobe_;
};

std::string* EncoderFrontEnd::ffmpeg_ = nullptr;
std::string* EncoderFrontEnd::ffprobe_ = nullptr;

TEST_F(EncoderFrontEnd, ConvertsToFilesThePspPlaysInEveryEncodingAndShape) {
  ASSERT_FALSE(ffmpeg_->empty()) << "ffmpeg is not installed";
  ASSERT_FALSE(ffprobe_->empty()) << "ffprobe is not installed";
  const std::string source = Clip("source.avi", 3, true);
  const struct {
    bool avc;
    bool wide;
    int level;
  } kCases[] = {{false, false, 2}, {false, true, 0}, {true, false, 5}, {true, true, 1}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << (c.avc ? "avc" : "mpeg4") << (c.wide ? " wide" : " normal")
                                    << " level " << c.level);
    const std::string output = dir_.File("out.mp4");
    const VideoProfile profile = VideoProfileFor(c.level, c.avc);
    const std::string title = "Holiday \"2026\" $(x)";
    EncoderProgress progress;
    const ProgramRun run = RunProgram(
        FrontEnd(), VideoConversionCommand(source, title, profile, c.avc, c.wide, output).argv,
        &progress);
    ASSERT_EQ(run.code, 0) << run.output;
    // PSPKVX's reader follows the front-end's output: the length, then positions.
    EXPECT_EQ(progress.duration, 3) << run.output;
    EXPECT_GT(progress.currentTime, 0) << run.output;
    EXPECT_GT(progress.percent, 0.0F);

    const nlohmann::json info = Probe(output);
    ASSERT_EQ(info["streams"].size(), 2u);
    const nlohmann::json& video = info["streams"][0];
    const nlohmann::json& audio = info["streams"][1];
    if (c.avc) {
      EXPECT_EQ(video["codec_name"], "h264");
      EXPECT_EQ(video["profile"], "Main");
      EXPECT_LE(video["level"].get<int>(), 21);
    } else {
      EXPECT_EQ(video["codec_name"], "mpeg4");
      EXPECT_EQ(video["profile"], "Simple Profile");
    }
    EXPECT_EQ(video["has_b_frames"], 0);
    EXPECT_EQ(video["width"], c.wide ? 368 : 320);
    EXPECT_EQ(video["height"], c.wide ? 208 : 240);
    EXPECT_EQ(video["r_frame_rate"], c.level < 2 ? "15000/1001" : "30000/1001");
    EXPECT_EQ(audio["codec_name"], "aac");
    EXPECT_EQ(audio["profile"], "LC");
    EXPECT_EQ(audio["channels"], 2);
    EXPECT_EQ(audio["sample_rate"], std::to_string(profile.sampleRate));
    EXPECT_EQ(info["format"]["tags"]["major_brand"], "MSNV");
    // The PSP's own title atom holds the title in UTF-16.
    const ProgramRun bytes = RunProgram("/bin/cat", {output});
    std::string utf16;
    for (const char ch : title)
      utf16 += std::string{'\0', ch};
    EXPECT_NE(bytes.output.find(utf16), std::string::npos);
  }
}

TEST_F(EncoderFrontEnd, ASilentSourceGetsSilentAudioAndFailuresKeepTheirExitCode) {
  ASSERT_FALSE(ffmpeg_->empty()) << "ffmpeg is not installed";
  const std::string source = Clip("silent.avi", 2, false);
  const std::string output = dir_.File("silent.mp4");
  const ProgramRun run = RunProgram(
      FrontEnd(),
      VideoConversionCommand(source, "s", VideoProfileFor(2, false), false, false, output).argv);
  ASSERT_EQ(run.code, 0) << run.output;
  const nlohmann::json info = Probe(output);
  ASSERT_EQ(info["streams"].size(), 2u);
  EXPECT_EQ(info["streams"][1]["codec_name"], "aac");

  const ProgramRun missing =
      RunProgram(FrontEnd(), VideoConversionCommand(dir_.File("none.avi"), "n",
                                                    VideoProfileFor(2, false), false, false, output)
                                 .argv);
  EXPECT_NE(missing.code, 0);
  EXPECT_NE(missing.output.find("none.avi"), std::string::npos);

  // A thumbnail's arguments go through as they are: one frame, as a GIF.
  const std::string longer = Clip("long.avi", 7, true);
  const std::string frame = dir_.File("frame.gif");
  const ProgramRun thumb = RunProgram(FrontEnd(), ThumbnailCommand(longer, 1000, frame).argv);
  EXPECT_EQ(thumb.code, 0) << thumb.output;
  const nlohmann::json picture = Probe(frame);
  EXPECT_EQ(picture["streams"][0]["width"], 160);
  EXPECT_EQ(picture["streams"][0]["height"], 120);
}

}  // namespace
}  // namespace pspkvx
