// Reading 100 MB of encoder output as the runner reads it: 511-byte chunks through the
// progress parser. The output is a realistic log: a header with the length, then one progress
// line after another.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "video/EncoderOutput.h"

namespace {

const std::string& Output() {
  static const std::string output = [] {
    std::string text =
        "Input #0, avi, from 'holiday.avi':\n  Duration: 01:30:00.00, start: 0.000000, bitrate: "
        "1200 kb/s\n  Stream #0:0: Video: mpeg4, yuv420p, 640x480, 25 fps\n";
    // The stream mapping and the output's description come before the first progress line.
    for (int line = 0; line < 12; ++line)
      text += "  Stream #0:" + std::to_string(line) +
              ": Video: mpeg4 (mp4v / 0x7634706D), yuv420p, 320x240, q=2-31, 180 kb/s\n";
    for (long i = 0; text.size() < (size_t{100} << 20); ++i)
      text += "frame= " + std::to_string(i) + " fps= 50 q=2.0 size=  " + std::to_string(i * 3) +
              "kB time=" + std::to_string(i / 25) + ".40 bitrate= 345.6kbits/s speed=2.0x\n";
    return text;
  }();
  return output;
}

void BM_ParseEncoderOutput100MB(benchmark::State& state) {
  const std::string_view output = Output();
  for (auto _ : state) {
    pspkvx::EncoderProgress progress;
    for (size_t at = 0; at < output.size(); at += 511)
      pspkvx::ParseEncoderOutput(
          progress, output.substr(at, std::min<size_t>(511, output.size() - at)), false);
    benchmark::DoNotOptimize(progress.percent);
    if (progress.duration != 5400) state.SkipWithError("length not read");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * output.size()));
}
BENCHMARK(BM_ParseEncoderOutput100MB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
