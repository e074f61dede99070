// What the front-end prints of ffmpeg's output: its log lines as they are, except the
// "Duration: N/A" of the silent audio it may add as a second input (it would read as a length
// of 0), and, for each of ffmpeg's progress reports (key=value lines), one "time=SECONDS.x" line
// in the form PSPKVX's runner reads, instead of the report.
#pragma once

#include <string>
#include <string_view>

namespace pspkvx::encoder {

class ProgressFilter {
 public:
  // Takes output as it comes; returns what to print of the lines it completes.
  std::string Take(std::string_view output);
  // The last line, when the output ended without a line break.
  std::string Finish();

 private:
  std::string Line(std::string_view line);
  std::string pending_;
};

}  // namespace pspkvx::encoder
