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

// Whether the input has an audio stream, as ffprobe sees it; yes when that cannot be told (ffmpeg
// then says what is wrong with the input).
bool HasAudio(const std::string& input) {
  const std::string ffprobe = pspkvx::platform::FindProgramOnPath("ffprobe", kSelf);
  if (ffprobe.empty() || input.empty()) return true;
  auto probe = StartChildProcess(ffprobe,
                                 {"-v", "error", "-select_streams", "a", "-show_entries",
                                  "stream=index", "-of", "csv=p=0", input},
                                 ChildOptions{true, false, ""});
  if (!probe) return true;
  std::string output;
  char buffer[512];
  for (int n; (n = probe->ReadOutput(buffer, sizeof buffer, 10000)) > 0;)
    output.append(buffer, static_cast<size_t>(n));
  const auto code = probe->WaitFor(10000);
  if (!code || *code != 0) return true;
  return output.find_first_not_of(" \r\n") != std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> legacy(argv + 1, argv + argc);
  const std::string ffmpeg = pspkvx::platform::FindProgramOnPath("ffmpeg", kSelf);
  if (ffmpeg.empty()) {
    Print("ffmpeg: the system's ffmpeg was not found on PATH (Debian: apt-get install ffmpeg)\n");
    return 127;
  }
  const std::string input = pspkvx::LegacyInputFile(legacy);
  const bool psp = pspkvx::TranslateLegacyArguments(legacy, true).psp;
  const pspkvx::EncoderTranslation translation =
      pspkvx::TranslateLegacyArguments(legacy, !psp || HasAudio(input));
  std::vector<std::string> args = translation.argv;
  if (psp)
    args.insert(args.begin(),
                {"-nostdin", "-nostats", "-progress", "pipe:2", "-stats_period", "0.2"});

  // ffmpeg stays in this program's process group, so that ending the group ends both.
  auto child = StartChildProcess(ffmpeg, args, ChildOptions{true, false, ""});
  if (!child) {
    Print("ffmpeg: " + ffmpeg + " could not be started\n");
    return 127;
  }
  pspkvx::encoder::ProgressFilter filter;
  char buffer[4096];
  auto lastMarker = std::chrono::steady_clock::time_point{};
  // PSPKVX reads the output in small chunks and takes one marker of each: the length and every
  // position leave in writes of their own, a little apart, so that each is a read of its own.
  const auto printLines = [&lastMarker](const std::string& text) {
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find('\n', start);
      end = end == std::string::npos ? text.size() : end + 1;
      const std::string line = text.substr(start, end - start);
      start = end;
      const bool marker =
          line.rfind("time=", 0) == 0 || line.find("Duration:") != std::string::npos;
      if (marker) {
        const auto since = std::chrono::steady_clock::now() - lastMarker;
        if (since < std::chrono::milliseconds(60))
          std::this_thread::sleep_for(std::chrono::milliseconds(60) - since);
      }
      Print(line);
      if (marker) lastMarker = std::chrono::steady_clock::now();
    }
  };
  for (int n; (n = child->ReadOutput(buffer, sizeof buffer, 1000)) != 0;) {
    if (n < 0) continue;
    const std::string_view read(buffer, static_cast<size_t>(n));
    if (psp)
      printLines(filter.Take(read));
    else
      Print(std::string(read));
  }
  if (psp) printLines(filter.Finish());
  const auto code = child->WaitFor(24 * 3600 * 1000);
  return code ? *code : 1;
}
