#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"
#include "video/EncoderRunner.h"

namespace pspkvx {
namespace {

// Whether a process has ended: gone, or a zombie left for whoever reaps orphans.
bool Ended(int pid) {
  for (int i = 0; i < 100; ++i) {
    if (::kill(pid, 0) != 0) return true;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const size_t close = line.rfind(')');
    if (close != std::string::npos && line.compare(close, 3, ") Z") == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// An encoder stand-in: a shell script run with an argument list.
EncoderRun Script(const std::string& script) {
  EncoderRun run;
  run.program = "/bin/sh";
  run.args = {"-c", script};
  return run;
}

TEST(EncoderRunner, APipedRunFollowsTheOutputToItsEnd) {
  EncoderProgress progress;
  progress.percent = 55;
  progress.duration = 9;
  std::vector<float> heard;
  const auto outcome = RunEncoder(
      Script("echo '  Duration: 00:00:10.00, start: 0.0'; sleep 0.2; echo 'time=2.5'; sleep 0.2;"
             " echo 'time=5.0' >&2; exit 4"),
      progress, [&](float percent) { heard.push_back(percent); });
  EXPECT_EQ(outcome.result, RunOk);
  EXPECT_EQ(outcome.exitCode, 4);
  EXPECT_EQ(progress.duration, 10);
  EXPECT_EQ(progress.currentTime, 5);
  EXPECT_EQ(heard, (std::vector<float>{0, 20, 50, 100}));

  // Quiet: positions are read, the percentage left.
  EncoderProgress quiet;
  heard.clear();
  EncoderRun run = Script("echo 'Duration: 00:00:10.00, start'; sleep 0.2; echo 'time=5.0'");
  run.quiet = true;
  EXPECT_EQ(RunEncoder(run, quiet, [&](float percent) { heard.push_back(percent); }).result, RunOk);
  EXPECT_EQ(quiet.currentTime, 5);
  EXPECT_TRUE(heard.empty());
}

TEST(EncoderRunner, AMissingProgramIsAStartFailureInBothRuns) {
  EncoderProgress progress;
  EncoderRun run;
  run.program = "/nonexistent/ffmpeg";
  EXPECT_EQ(RunEncoder(run, progress, {}).result, RunStartFailed);
  run.hidden = true;
  EXPECT_EQ(RunEncoder(run, progress, {}).result, RunStartFailed);
}

TEST(EncoderRunner, TheStopEventEndsTheChildInBothRuns) {
  for (const bool hidden : {false, true}) {
    SCOPED_TRACE(hidden ? "hidden" : "piped");
    test::TempDir dir;
    const std::string pidFile = dir.File("pid");
    // The child's own child holds the output open: the whole group has to go.
    EncoderRun run = Script("sleep 60 & echo $! > '" + pidFile + "'; echo started; wait");
    run.hidden = hidden;
    ManualResetEvent stop;
    run.stop = &stop;
    std::thread stopper([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      stop.Set();
    });
    EncoderProgress progress;
    const auto before = std::chrono::steady_clock::now();
    const auto outcome = RunEncoder(run, progress, {});
    stopper.join();
    EXPECT_EQ(outcome.result, RunCancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10));
    // The sleep is gone too.
    std::string pid;
    FILE* file = std::fopen(pidFile.c_str(), "r");
    ASSERT_NE(file, nullptr);
    char text[32] = {};
    if (std::fgets(text, sizeof text, file)) pid = text;
    std::fclose(file);
    const int sleeper = std::stoi(pid);
    EXPECT_TRUE(Ended(sleeper));
  }
}

TEST(EncoderRunner, AHiddenRunWaitsForTheChildInItsFolder) {
  test::TempDir dir;
  EncoderRun run = Script("sleep 0.2; pwd > here.txt");
  run.hidden = true;
  run.workingFolder = dir.path();
  EncoderProgress progress;
  const auto outcome = RunEncoder(run, progress, {});
  EXPECT_EQ(outcome.result, RunOk);
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_TRUE(test::FileExists(dir.File("here.txt")));
}

}  // namespace
}  // namespace pspkvx
