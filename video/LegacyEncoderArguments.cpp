#include "video/LegacyEncoderArguments.h"

#include <algorithm>

namespace pspkvx {
namespace {

bool Has(const std::vector<std::string>& argv, const std::string& option,
         const std::string& value) {
  for (size_t i = 0; i + 1 < argv.size(); ++i)
    if (argv[i] == option && argv[i + 1] == value) return true;
  return false;
}

bool HasOption(const std::vector<std::string>& argv, const std::string& option) {
  return std::find(argv.begin(), argv.end(), option) != argv.end();
}

// The legacy frame rates, which meant the NTSC rates.
std::string FrameRate(const std::string& rate) {
  if (rate == "29.97") return "30000/1001";
  if (rate == "14.985") return "15000/1001";
  return rate;
}

}  // namespace

std::string LegacyInputFile(const std::vector<std::string>& legacy) {
  for (size_t i = 0; i + 1 < legacy.size(); ++i)
    if (legacy[i] == "-i") return legacy[i + 1];
  return "";
}

EncoderTranslation TranslateLegacyArguments(const std::vector<std::string>& legacy, bool hasAudio) {
  EncoderTranslation out;
  out.psp = Has(legacy, "-f", "psp");
  out.input = LegacyInputFile(legacy);
  if (!out.psp || legacy.empty()) {
    out.argv = legacy;
    return out;
  }
  const bool videoCodecGiven = HasOption(legacy, "-vcodec");
  std::string sampleRate = "48000";
  for (size_t i = 0; i + 1 < legacy.size(); ++i)
    if (legacy[i] == "-ar") sampleRate = legacy[i + 1];

  std::vector<std::string>& argv = out.argv;
  argv.emplace_back("-hide_banner");
  bool inputSeen = false;
  // The last argument is the output file; every option before it is an option of the output or
  // of the input it precedes.
  for (size_t i = 0; i + 1 < legacy.size(); ++i) {
    const std::string& option = legacy[i];
    const bool valued = i + 2 < legacy.size();
    const std::string value = valued ? legacy[i + 1] : "";
    if (option == "-i" && valued && !inputSeen) {
      inputSeen = true;
      argv.insert(argv.end(), {"-i", value});
      if (!hasAudio)
        argv.insert(argv.end(), {"-f", "lavfi", "-i",
                                 "anullsrc=channel_layout=stereo:sample_rate=" + sampleRate});
      ++i;
    } else if (option == "-title" && valued) {
      argv.insert(argv.end(), {"-metadata", "title=" + value});
      ++i;
    } else if (option == "-b" && valued) {
      argv.insert(argv.end(), {"-b:v", value + "k"});
      ++i;
    } else if (option == "-ab" && valued) {
      argv.insert(argv.end(), {"-b:a", value + "k"});
      ++i;
    } else if (option == "-bufsize" && valued) {
      argv.insert(argv.end(), {"-bufsize", value + "k"});
      ++i;
    } else if (option == "-r" && valued) {
      argv.insert(argv.end(), {"-r", FrameRate(value)});
      ++i;
    } else if (option == "-vcodec" && valued && value == "h264") {
      // The PSP plays Main profile up to level 2.1, without B-frames and with few references.
      argv.insert(argv.end(), {"-c:v", "libx264", "-profile:v", "main", "-level:v", "2.1",
                               "-pix_fmt", "yuv420p", "-refs", "2", "-bf", "0"});
      ++i;
    } else if (option == "-acodec" && valued && value == "aac") {
      argv.insert(argv.end(), {"-c:a", "aac"});
      ++i;
    } else {
      argv.push_back(option);
    }
  }
  // MPEG-4 Simple Profile, which the muxer no longer picks by itself.
  if (!videoCodecGiven) argv.insert(argv.end(), {"-c:v", "mpeg4", "-pix_fmt", "yuv420p"});
  argv.insert(argv.end(), {"-map", "0:v:0", "-map", hasAudio ? "0:a:0" : "1:a:0"});
  if (!hasAudio) argv.emplace_back("-shortest");
  argv.push_back(legacy.back());
  return out;
}

}  // namespace pspkvx
