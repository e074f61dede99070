// One video converted through the encoder of a program folder: the real front-end on a generated
// clip, and stand-in encoders for the failures.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "base/StringTable.h"
#include "media/CatalogueAdd.h"
#include "media/ImageLibrary.h"
#include "platform/ChildProcess.h"
#include "support/MediaStickFixture.h"
#include "support/TempDir.h"
#include "video/VideoConvert.h"
#include "video/VideoProfile.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;

class VideoConvertTest : public ::testing::Test {
 protected:
  VideoConvertTest() { fs::create_directories(Program()); }
  std::string Program() const { return dir_.File("program"); }
  // The program folder's encoder: PSPKVX's front-end, or a shell script standing in for it.
  void UseFrontEnd() {
    fs::create_symlink(std::string(PSPKVX_PROGRAM_DIR) + "/ffmpeg", EncoderProgram(Program()));
  }
  void UseScript(const std::string& body) {
    test::WriteFileBytes(EncoderProgram(Program()), "#!/bin/sh\n" + body + "\n");
    ::chmod(EncoderProgram(Program()).c_str(), 0755);
  }
  std::string Clip(int seconds) {
    const std::string path = dir_.File("pc/Holiday clip.avi");
    fs::create_directories(dir_.File("pc"));
    auto make = platform::StartChildProcess(
        platform::FindProgramOnPath("ffmpeg"),
        {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=640x480:rate=25", "-f", "lavfi",
         "-i", "sine", "-t", std::to_string(seconds), "-c:v", "mpeg4", "-c:a", "mp3", path},
        platform::ChildOptions{false, true, ""});
    EXPECT_TRUE(make && make->WaitFor(60000) == 0);
    return path;
  }
  ConvertOutcome Convert(const std::string& source, uint32_t options, bool avc,
                         const ManualResetEvent* stop = nullptr) {
    const auto entry = EntryOfFile(source);
    VideoConversion conversion;
    conversion.programFolder = Program();
    conversion.videoOptions = options;
    conversion.avc = avc;
    conversion.stop = stop;
    EncoderProgress progress;
    return ConvertVideo(entry ? &*entry : nullptr, conversion, window_, progress);
  }

  test::TempDir dir_;
  test::RecordingMediaWindow window_;
};

TEST_F(VideoConvertTest, AClipIsConvertedWithItsThumbnailAndTheProgressMoves) {
  UseFrontEnd();
  const std::string source = Clip(20);
  const ConvertOutcome done = Convert(source, 2 | VideoWideScreen, true);
  ASSERT_EQ(done.result, ConvertOk);
  EXPECT_EQ(done.output, Program() + "/PSP.MP4");
  EXPECT_GT(fs::file_size(done.output), 0u);
  EXPECT_EQ(done.thumbnail, Program() + "/PSP.thm");
  const auto picture = image::LoadImageFile(done.thumbnail);
  ASSERT_TRUE(picture.bitmap);
  EXPECT_EQ(FreeImage_GetWidth(picture.bitmap.get()), 160u);
  EXPECT_EQ(FreeImage_GetHeight(picture.bitmap.get()), 120u);
  // No frame file is left behind.
  for (const auto& item : fs::directory_iterator(Program()))
    EXPECT_EQ(item.path().filename().string().find("tempthm"), std::string::npos);
  const std::vector<int> progress = window_.Progress();
  EXPECT_NE(std::find_if(progress.begin(), progress.end(), [](int p) { return p > 0 && p < 100; }),
            progress.end());
  EXPECT_NE(std::find(progress.begin(), progress.end(), 100), progress.end());
  const std::vector<std::string> statuses = window_.Statuses();
  EXPECT_EQ(statuses.front(), StringOf(IDS_CONVERTING_VIDEO) + "Holiday clip.avi");
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), StringOf(IDS_MAKING_VIDEO_ICON)),
            statuses.end());
  EXPECT_EQ(statuses.back(), "");
}

TEST_F(VideoConvertTest, FailuresOfTheEncoderAreToldApart) {
  const std::string source = dir_.File("pc/a.avi");
  fs::create_directories(dir_.File("pc"));
  test::WriteFileBytes(source, "not a video");
  EXPECT_EQ(Convert(dir_.File("pc/none.avi"), 2, false).result, ConvertNoItem);
  // No encoder in the program folder.
  EXPECT_EQ(Convert(source, 2, false).result, ConvertLaunchFailed);
  EXPECT_EQ(window_.Statuses().back(), "");
  // An encoder that fails after writing part of its file.
  UseScript("for last; do :; done; echo partial > \"$last\"; exit 1");
  const ConvertOutcome failed = Convert(source, 2, false);
  EXPECT_EQ(failed.result, ConvertNoOutput);
  EXPECT_EQ(failed.thumbnail, "");
}

TEST_F(VideoConvertTest, TheStopEventEndsAConversionAtOnce) {
  UseScript("echo '  Duration: 00:10:00.00, start: 0.0'; exec sleep 60");
  const std::string source = dir_.File("pc/a.avi");
  fs::create_directories(dir_.File("pc"));
  test::WriteFileBytes(source, "video");
  ManualResetEvent stop;
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    stop.Set();
  });
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(Convert(source, 2, false, &stop).result, ConvertCancelled);
  stopper.join();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10));
}

}  // namespace
}  // namespace pspkvx
