// The encoder front-end ("ffmpeg" in PSPKVX's program folder). PSPKVX forms its encoder
// arguments from fixed templates written for the encoders of their time; this program takes
// them, runs the system's ffmpeg (found on PATH, never itself) with today's equivalents
// (LegacyEncoderArguments.h) and prints ffmpeg's log with its progress in the form PSPKVX reads
// (ProgressFilter.h). Its exit code is ffmpeg's. An argument list that is not a PSP conversion
// (a thumbnail's) goes to ffmpeg as it is. Nothing goes through a shell.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/ChildProcess.h"
#include "video/LegacyEncoderArguments.h"
#include "video/encoder/ProgressFilter.h"

namespace {

using pspkvx::platform::ChildOptions;
using pspkvx::platform::StartChildProcess;

constexpr char kSelf[] = "/proc/self/exe";

void Print(const std::string& text) {
  for (size_t written = 0; written < text.size();) {
    const ssize_t n = ::write(2, text.data() + written, text.size() - written);
    if (n <= 0) return;
    written += static_cast<size_t>(n);
  }
}

struct Outcome {
  int code = 127;
  bool noAudio = false;  // ffmpeg found no audio stream to map (nothing was printed)
};

// One run of ffmpeg with its output printed as PSPKVX reads it. For a PSP conversion that maps
// the source's audio, the output is held until ffmpeg has set its streams up: a source without
// audio makes it stop there, and the run is made again with silent audio.
Outcome RunFfmpeg(const std::string& ffmpeg, const std::vector<std::string>& legacy, bool psp,
                  bool hasAudio) {
  std::vector<std::string> args = pspkvx::TranslateLegacyArguments(legacy, hasAudio).argv;
  if (psp)
    args.insert(args.begin(),
                {"-nostdin", "-nostats", "-progress", "pipe:2", "-stats_period", "0.2"});
  // ffmpeg stays in this program's process group, so that ending the group ends both.
  auto child = StartChildProcess(ffmpeg, args, ChildOptions{true, false, ""});
  if (!child) {
    Print("ffmpeg: " + ffmpeg + " could not be started\n");
    return {};
  }
  pspkvx::encoder::ProgressFilter filter;
  auto lastMarker = std::chrono::steady_clock::time_point{};
  bool holding = psp && hasAudio;
  std::string held;
  constexpr auto kMarkerGap = std::chrono::milliseconds(60);
  std::string leftOut;  // the last position left out
  bool positionPrinted = false;
  // PSPKVX reads the output in small chunks and takes one marker of each: a position that
  // would follow the length or another position within 60 ms is left out (the next one comes
  // 0.2 s later, and the end of the output means 100 % anyway), so that nothing waits.
  const auto printLines = [&](const std::string& text) {
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find('\n', start);
      end = end == std::string::npos ? text.size() : end + 1;
      const std::string line = text.substr(start, end - start);
      start = end;
      if (holding) {
        held += line;
        if (line.rfind("Stream mapping:", 0) != 0 && line.rfind("time=", 0) != 0) continue;
        holding = false;
        Print(held);
        if (held.find("Duration:") != std::string::npos)
          lastMarker = std::chrono::steady_clock::now();
        held.clear();
        continue;
      }
      const bool position = line.rfind("time=", 0) == 0;
      const auto now = std::chrono::steady_clock::now();
      if (position && now - lastMarker < kMarkerGap) {
        leftOut = line;
        continue;
      }
      Print(line);
      if (position) {
        leftOut.clear();
        positionPrinted = true;
      }
      if (position || line.find("Duration:") != std::string::npos) lastMarker = now;
    }
  };
  char buffer[4096];
  for (int n; (n = child->ReadOutput(buffer, sizeof buffer, 1000)) != 0;) {
    if (n < 0) continue;
    const std::string_view read(buffer, static_cast<size_t>(n));
    if (psp)
      printLines(filter.Take(read));
    else
      Print(std::string(read));
  }
  if (psp) printLines(filter.Finish());
  // The last position is never lost: a conversion so quick that every position came within
  // the gap after the length still shows where it ended, in a read of its own.
  if (!leftOut.empty()) {
    if (!positionPrinted) std::this_thread::sleep_until(lastMarker + kMarkerGap);
    Print(leftOut);
  }
  const auto code = child->WaitFor(24 * 3600 * 1000);
  Outcome outcome{code ? *code : 1, false};
  if (holding && outcome.code != 0 && held.find("matches no streams") != std::string::npos)
    outcome.noAudio = true;
  else if (!held.empty())
    Print(held);
  return outcome;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> legacy(argv + 1, argv + argc);
  const std::string ffmpeg = pspkvx::platform::FindProgramOnPath("ffmpeg", kSelf);
  if (ffmpeg.empty()) {
    Print("ffmpeg: the system's ffmpeg was not found on PATH (Debian: apt-get install ffmpeg)\n");
    return 127;
  }
  const bool psp = pspkvx::TranslateLegacyArguments(legacy, true).psp;
  const Outcome outcome = RunFfmpeg(ffmpeg, legacy, psp, true);
  if (outcome.noAudio) return RunFfmpeg(ffmpeg, legacy, psp, false).code;
  return outcome.code;
}
