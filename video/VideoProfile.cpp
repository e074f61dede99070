#include "video/VideoProfile.h"

#include "base/StringTable.h"

namespace pspkvx {
namespace {

struct QualityRow {
  int videoBitRate;
  const char* frameRate;
  int audioMpeg4;
  int audioAvc;
};

constexpr QualityRow kQuality[kVideoQualityLevels] = {
    {60, "14.985", 16, 32}, {100, "14.985", 32, 32}, {180, "29.97", 48, 48},
    {250, "29.97", 64, 64}, {400, "29.97", 96, 96},  {768, "29.97", 128, 128},
};

constexpr const char* kMpeg4Wide =
    "-y -i \"%s\" -title \"%s\" -f psp -g 250 -r %s -s 368x208 -b %i -ar %i -ab %i -ac %i "
    "-aspect 16:9 \"%s\"";
constexpr const char* kMpeg4Normal =
    "-y -i \"%s\" -title \"%s\" -f psp -g 250 -r %s -s 320x240 -b %i -ar %i -ab %i -ac %i \"%s\"";
constexpr const char* kAvcWide =
    "-y -i \"%s\" -title \"%s\" -bitexact -vcodec h264 -coder 1 -g 250 -acodec aac -r %s "
    "-bufsize 768 -s 368x208 -b %i -ar %i -ab %i -g 250 -ac %i -aspect 16:9 -f psp \"%s\"";
constexpr const char* kAvcNormal =
    "-y -i \"%s\" -title \"%s\" -bitexact -vcodec h264 -coder 1 -g 250 -acodec aac -r %s "
    "-bufsize 768 -s 320x240 -b %i -ar %i -ab %i -g 250 -ac %i -f psp \"%s\"";
constexpr const char* kThumbnail = "-y -i \"%s\" -ss 00:%2.2i:%2.2i.0 -vframes 1 -s 160x120 \"%s\"";

constexpr size_t kMaxTitleChars = 60;
constexpr uint64_t kLongVideoBytes = 5000000;

}  // namespace

VideoProfile VideoProfileFor(int level, bool avc) {
  VideoProfile profile;
  if (level < 0 || level >= kVideoQualityLevels) {
    profile.videoBitRate = 768;
    profile.frameRate = "30";
    profile.audioBitRate = 128;
    profile.sampleRate = 48000;
    return profile;
  }
  const QualityRow& row = kQuality[level];
  profile.videoBitRate = row.videoBitRate;
  profile.frameRate = row.frameRate;
  profile.audioBitRate = avc ? row.audioAvc : row.audioMpeg4;
  profile.sampleRate = avc ? 48000 : 24000;
  return profile;
}

int VideoQualityCaption(int level) {
  return level >= 0 && level < kVideoQualityLevels ? IDS_QUALITY_VERY_LOW + level : 0;
}

const char* VideoArgumentTemplate(bool avc, bool wide) {
  if (avc) return wide ? kAvcWide : kAvcNormal;
  return wide ? kMpeg4Wide : kMpeg4Normal;
}

EncoderCommand VideoConversionCommand(const std::string& source, const std::string& title,
                                      const VideoProfile& profile, bool avc, bool wide,
                                      const std::string& output) {
  // The templates and their values are fixed here, so the forming cannot fail.
  return *FormEncoderCommand(VideoArgumentTemplate(avc, wide),
                             {source, title, profile.frameRate, profile.videoBitRate,
                              profile.sampleRate, profile.audioBitRate, profile.channels, output});
}

EncoderCommand ThumbnailCommand(const std::string& source, uint64_t sourceBytes,
                                const std::string& frameFile) {
  const bool longVideo = sourceBytes >= kLongVideoBytes;
  return *FormEncoderCommand(kThumbnail, {source, longVideo ? 1 : 0, longVideo ? 0 : 6, frameFile});
}

std::string MakeVideoTitle(const std::string& displayName) {
  std::string title = displayName;
  const size_t dot = title.find_last_of('.');
  const size_t separator = title.find_last_of('\\');
  if (dot != std::string::npos && (separator == std::string::npos || dot > separator))
    title.resize(dot);
  if (title.size() > kMaxTitleChars) title.resize(kMaxTitleChars);
  return title.empty() ? "PSP Video" : title;
}

}  // namespace pspkvx
