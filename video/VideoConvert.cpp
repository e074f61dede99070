#include "video/VideoConvert.h"

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>

#include "base/StringTable.h"
#include "media/ImageLibrary.h"
#include "media/MediaTypes.h"
#include "platform/Platform.h"
#include "video/EncoderRunner.h"
#include "video/VideoProfile.h"

namespace pspkvx {
namespace {

uint64_t FileBytes(const std::string& path) {
  const auto status = platform::QueryLocalPath(path);
  return status && status->kind == platform::PathKind::File ? status->size : 0;
}

// A frame file no other making uses at the same time (the batch and the list worker both make
// thumbnails).
std::string FrameFile(const std::string& programFolder) {
  static std::atomic<unsigned> next{0};
  return platform::JoinPath(programFolder, "tempthm-" + std::to_string(::getpid()) + "-" +
                                               std::to_string(next.fetch_add(1)) + ".gif");
}

}  // namespace

std::string EncoderProgram(const std::string& programFolder) {
  return platform::JoinPath(programFolder, "ffmpeg");
}

bool MakeVideoThumbnail(const std::string& programFolder, const std::string& source,
                        const ManualResetEvent* stop, const std::string& target) {
  const std::string thumbnail = VideoThumbnailPath(target);
  if (thumbnail.empty()) return false;
  const std::string frame = FrameFile(programFolder);
  EncoderRun run;
  run.program = EncoderProgram(programFolder);
  run.args = ThumbnailCommand(source, FileBytes(source), frame).argv;
  run.stop = stop;
  run.hidden = true;
  run.workingFolder = programFolder;
  EncoderProgress unused;
  RunEncoder(run, unused, {});
  const bool captured = FileBytes(frame) > 0;
  if (captured) {
    image::LoadedImage loaded = image::LoadImageFile(frame);
    image::Bitmap jpeg = loaded.bitmap ? image::ToJpegBitmap(std::move(loaded.bitmap)) : nullptr;
    const std::vector<uint8_t> bytes =
        jpeg ? image::EncodeImage(jpeg.get(), FIF_JPEG) : std::vector<uint8_t>{};
    // Written whole or not at all; a frame that does not convert leaves no thumbnail.
    if (!bytes.empty()) platform::ReplaceFileAtomically(thumbnail, bytes.data(), bytes.size());
  }
  std::remove(frame.c_str());
  return captured;
}

ConvertOutcome ConvertVideo(const MediaEntry* entry, const VideoConversion& conversion,
                            IMediaWindow& window, EncoderProgress& progress) {
  ConvertOutcome outcome;
  if (!entry) return outcome;
  window.SetStatusText(StringOf(IDS_CONVERTING_VIDEO) + entry->name);
  outcome.output = conversion.output.empty()
                       ? platform::JoinPath(conversion.programFolder, "PSP.MP4")
                       : conversion.output;
  const int level = static_cast<int>(conversion.videoOptions & VideoQualityMask);
  const bool wide = (conversion.videoOptions & VideoWideScreen) != 0;
  EncoderRun run;
  run.program = EncoderProgram(conversion.programFolder);
  run.args = VideoConversionCommand(entry->path, MakeVideoTitle(entry->name),
                                    VideoProfileFor(level, conversion.avc), conversion.avc, wide,
                                    outcome.output)
                 .argv;
  run.stop = conversion.stop;
  const EncoderRunOutcome ran = RunEncoder(run, progress, [&window](float percent) {
    window.SetProgress(static_cast<int>(std::floor(percent)));
  });
  if (ran.result != RunOk) {
    window.SetStatusText("");
    outcome.result = ran.result == RunStartFailed ? ConvertLaunchFailed : ConvertCancelled;
    return outcome;
  }
  // A crashed or failed encoder may leave part of a file: only a clean end counts.
  if (ran.exitCode != 0 || FileBytes(outcome.output) == 0) {
    outcome.result = ConvertNoOutput;
    return outcome;
  }
  window.SetProgress(0);
  window.SetStatusText(StringOf(IDS_MAKING_VIDEO_ICON));
  if (MakeVideoThumbnail(conversion.programFolder, entry->path, conversion.stop, outcome.output))
    outcome.thumbnail = VideoThumbnailPath(outcome.output);
  window.SetStatusText("");
  outcome.result = ConvertOk;
  return outcome;
}

}  // namespace pspkvx
