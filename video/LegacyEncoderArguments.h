// The encoder front-end's translation: the fixed argument lists of the conversion templates, as
// encoders of their time took them, into the arguments today's ffmpeg needs for the same result,
// a file the PSP plays. Every argument not named here passes through as it is; an argument list
// without "-f psp" (a thumbnail's) passes through whole.
#pragma once

#include <string>
#include <vector>

namespace pspkvx {

struct EncoderTranslation {
  std::vector<std::string> argv;  // for ffmpeg, without the program itself
  bool psp = false;               // a conversion for the PSP ("-f psp" was given)
  std::string input;              // the first "-i" file; empty when none
};

// hasAudio tells whether the input has an audio stream; a PSP conversion of a source without
// one gets silent audio, since the PSP's MP4 needs one video and one audio stream.
EncoderTranslation TranslateLegacyArguments(const std::vector<std::string>& legacy, bool hasAudio);

// The input file of a legacy argument list (the value of its first "-i"); empty when none.
std::string LegacyInputFile(const std::vector<std::string>& legacy);

}  // namespace pspkvx
