// Converting a 60-second 640x480 clip for the PSP (MPEG-4, Medium) through PSPKVX's runner and
// its encoder front-end, side by side with the same conversion run by ffmpeg directly with the
// front-end's translated arguments. The clip is made once with ffmpeg.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "platform/ChildProcess.h"
#include "video/EncoderRunner.h"
#include "video/LegacyEncoderArguments.h"
#include "video/VideoProfile.h"

namespace {

using pspkvx::bench::BenchFolder;

const BenchFolder& Folder() {
  static BenchFolder folder;
  return folder;
}

const std::string& Clip() {
  static const std::string clip = [] {
    const std::string path = Folder().path() + "/clip.avi";
    auto make =
        pspkvx::platform::StartChildProcess(pspkvx::platform::FindProgramOnPath("ffmpeg"),
                                            {"-v",
                                             "error",
                                             "-y",
                                             "-f",
                                             "lavfi",
                                             "-i",
                                             "testsrc=size=640x480:rate=25",
                                             "-f",
                                             "lavfi",
                                             "-i",
                                             "sine=sample_rate=44100",
                                             "-t",
                                             "60",
                                             "-c:v",
                                             "mpeg4",
                                             "-q:v",
                                             "4",
                                             "-c:a",
                                             "mp3",
                                             path},
                                            pspkvx::platform::ChildOptions{false, true, ""});
    if (make) make->WaitFor(600000);
    return path;
  }();
  return clip;
}

pspkvx::EncoderCommand Legacy() {
  return pspkvx::VideoConversionCommand(Clip(), "clip", pspkvx::VideoProfileFor(2, false), false,
                                        false, Folder().path() + "/out.mp4");
}

void RunOnce(benchmark::State& state, const std::string& program,
             const std::vector<std::string>& args) {
  pspkvx::EncoderRun run;
  run.program = program;
  run.args = args;
  pspkvx::EncoderProgress progress;
  const auto outcome = pspkvx::RunEncoder(run, progress, {});
  if (outcome.result != pspkvx::RunOk || outcome.exitCode != 0)
    state.SkipWithError("not converted");
}

void BM_ConvertThroughFrontEnd(benchmark::State& state) {
  const auto args = Legacy().argv;
  for (auto _ : state)
    RunOnce(state, std::string(PSPKVX_PROGRAM_DIR) + "/ffmpeg", args);
}
BENCHMARK(BM_ConvertThroughFrontEnd)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ConvertWithFfmpeg(benchmark::State& state) {
  auto args = pspkvx::TranslateLegacyArguments(Legacy().argv, true).argv;
  args.insert(args.begin(), {"-nostdin", "-nostats"});
  const std::string ffmpeg = pspkvx::platform::FindProgramOnPath("ffmpeg");
  for (auto _ : state)
    RunOnce(state, ffmpeg, args);
}
BENCHMARK(BM_ConvertWithFfmpeg)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
