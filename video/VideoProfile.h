// The user's conversion choices (quality level, screen shape, encoding) as the configuration
// record keeps them, the table that turns them into encoder parameters, the four argument
// templates of a conversion and the one of a thumbnail, and the title given to the encoder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/AppConfig.h"
#include "video/EncoderCommand.h"

namespace pspkvx {

// The video options word's bits are app/AppConfig.h's (VideoQualityMask, VideoWideScreen, ...).
inline constexpr int kVideoQualityLevels = static_cast<int>(kMaxVideoQuality) + 1;

struct VideoProfile {
  int videoBitRate = 0;
  const char* frameRate = "";
  int audioBitRate = 0;
  int sampleRate = 0;
  int channels = 2;
};

// The row of a level (any value; 6..15 and others give the fallback row) and encoding.
VideoProfile VideoProfileFor(int level, bool avc);

// The string id of a level's caption ("Very Low" ... "Maximum"); 0 for no level of the table.
int VideoQualityCaption(int level);

// The argument template of an encoding and screen shape.
const char* VideoArgumentTemplate(bool avc, bool wide);

// The command of a conversion: the source, the title, the row's values and the output, in the
// templates' order.
EncoderCommand VideoConversionCommand(const std::string& source, const std::string& title,
                                      const VideoProfile& profile, bool avc, bool wide,
                                      const std::string& output);

// The command that takes one 160x120 frame of a video into frameFile: 6 seconds in for a
// source under 5,000,000 bytes, a minute in otherwise.
EncoderCommand ThumbnailCommand(const std::string& source, uint64_t sourceBytes,
                                const std::string& frameFile);

// The title of a video from its display name: the extension cut off, at most 60 characters,
// "PSP Video" when nothing is left.
std::string MakeVideoTitle(const std::string& displayName);

}  // namespace pspkvx
