#include "video/encoder/ProgressFilter.h"

#include <cstdio>
#include <cstdlib>

namespace pspkvx::encoder {
namespace {

// The keys of ffmpeg's -progress reports; its closing statistics line starts with "frame=" too
// and is left out with them (the last "time=" has been printed already).
constexpr std::string_view kProgressKeys[] = {
    "frame=",    "fps=",        "bitrate=",     "total_size=", "out_time_us=", "out_time_ms=",
    "out_time=", "dup_frames=", "drop_frames=", "speed=",      "progress=",    "stream_",
};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string ProgressFilter::Line(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (StartsWith(line, "out_time_us=")) {
    const std::string digits(line.substr(12));
    char* end = nullptr;
    const long long micros = std::strtoll(digits.c_str(), &end, 10);
    // The report before the first frame says nothing.
    if (end == digits.c_str() || micros <= 0) return "";
    char text[48];
    std::snprintf(text, sizeof text, "time=%lld.%lld\n", micros / 1000000,
                  micros % 1000000 / 100000);
    return text;
  }
  for (const std::string_view key : kProgressKeys)
    if (StartsWith(line, key)) return "";
  if (line.find("Duration: N/A") != std::string_view::npos) return "";
  return std::string(line) + "\n";
}

std::string ProgressFilter::Take(std::string_view output) {
  pending_.append(output);
  std::string printed;
  size_t start = 0;
  for (size_t end; (end = pending_.find('\n', start)) != std::string::npos; start = end + 1)
    printed += Line(std::string_view(pending_).substr(start, end - start));
  pending_.erase(0, start);
  return printed;
}

std::string ProgressFilter::Finish() {
  std::string last = pending_.empty() ? "" : Line(pending_);
  pending_.clear();
  return last;
}

}  // namespace pspkvx::encoder
