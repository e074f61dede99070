// Reading the encoder's output as it runs: the source's duration from its "Duration:" line and
// the position from each "time=" report, turned into a percentage. The output is read in small
// chunks and scanned in place; a marker split between two chunks is not seen, and the next
// "time=" puts the progress right again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pspkvx {

struct EncoderProgress {
  int64_t duration = 0;     // seconds; 0 until read
  int64_t currentTime = 0;  // seconds, as last reported
  float percent = 0;        // 0..100
  // The last chunk read while the duration was still 0: where a duration printed before its
  // ", start" is looked for.
  std::string savedOutput;
};

// Updates progress from one chunk of output. quiet leaves the percentage alone. True when the
// percentage was computed anew (the window repaints its status area).
bool ParseEncoderOutput(EncoderProgress& progress, std::string_view chunk, bool quiet);

// "HH:MM:SS[.xx]" read from the start of text as seconds; a field that cannot be read counts as
// 0, and so do the ones after it.
int64_t ReadEncoderDuration(std::string_view text);

}  // namespace pspkvx
