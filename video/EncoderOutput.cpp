#include "video/EncoderOutput.h"

#include <algorithm>
#include <cctype>

namespace pspkvx {
namespace {

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The decimal digits at text[at...], at most 18 of them (more cannot be a time); at moves past
// them. None read: false.
bool ReadDigits(std::string_view text, size_t& at, int64_t& value) {
  value = 0;
  const size_t start = at;
  while (at < text.size() && IsDigit(text[at])) {
    if (at - start < 18) value = value * 10 + (text[at] - '0');
    ++at;
  }
  return at > start;
}

// A place where a clock time starts: a digit with ':' two characters further.
bool ClockAt(std::string_view text, size_t at) {
  return at + 2 < text.size() && IsDigit(text[at]) && text[at + 2] == ':';
}

}  // namespace

int64_t ReadEncoderDuration(std::string_view text) {
  int64_t fields[3] = {0, 0, 0};
  size_t at = 0;
  for (int i = 0; i < 3; ++i) {
    if (i > 0) {
      if (at >= text.size() || text[at] != ':') break;
      ++at;
    }
    if (!ReadDigits(text, at, fields[i])) break;
  }
  // Each field at most 12 digits, so that no sum of them can overflow.
  constexpr int64_t kLargestField = 999'999'999'999;
  for (int64_t& field : fields)
    field = std::min(field, kLargestField);
  return fields[0] * 3600 + fields[1] * 60 + fields[2];
}

bool ParseEncoderOutput(EncoderProgress& progress, std::string_view chunk, bool quiet) {
  if (progress.duration == 0) progress.savedOutput.assign(chunk);

  if (const size_t time = chunk.find("time="); time != std::string_view::npos) {
    size_t at = time + 5;
    while (at < chunk.size() && static_cast<unsigned char>(chunk[at]) < 33)
      ++at;
    const bool negative = at < chunk.size() && chunk[at] == '-';
    if (negative) ++at;
    int64_t value = 0;
    const size_t digits = at;
    ReadDigits(chunk, at, value);
    // A clock value ("00:00:41.50"), as today's encoders print it.
    if (at < chunk.size() && chunk[at] == ':') value = ReadEncoderDuration(chunk.substr(digits));
    progress.currentTime = negative ? -value : value;
    if (progress.duration == 0 || progress.currentTime == 0 || quiet) return false;
    float percent =
        static_cast<float>(progress.currentTime) / static_cast<float>(progress.duration) * 100.0F;
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    progress.percent = percent;
    return true;
  }

  if (const size_t marker = chunk.find("Duration:"); marker != std::string_view::npos) {
    size_t at = marker + 10;
    while (at < chunk.size() && static_cast<unsigned char>(chunk[at]) <= 32)
      ++at;
    if (at < chunk.size()) progress.duration = ReadEncoderDuration(chunk.substr(at));
  }

  const size_t start = chunk.find(", start");
  if (start == std::string_view::npos || progress.duration != 0) return false;
  // The field before ", start": back to the space before it.
  size_t at = start;
  while (at > 0 && chunk[at - 1] != ' ')
    --at;
  if (ClockAt(chunk, at)) {
    progress.duration = ReadEncoderDuration(chunk.substr(at));
    return false;
  }
  const std::string_view saved = progress.savedOutput;
  for (size_t place = 0; place < saved.size() && progress.duration == 0; ++place)
    if (ClockAt(saved, place)) progress.duration = ReadEncoderDuration(saved.substr(place));
  return false;
}

}  // namespace pspkvx
