// One video converted for the PSP by the encoder in the program folder ("ffmpeg", the
// front-end), and the thumbnail made for a converted video. Both run on the batch worker; the
// status line and the progress go through the media window.
#pragma once

#include <cstdint>
#include <string>

#include "base/ManualResetEvent.h"
#include "media/MediaCatalogue.h"
#include "media/MediaStick.h"
#include "video/EncoderOutput.h"

namespace pspkvx {

enum ConvertResult : int {
  ConvertOk = 0,            // the encoder ended well and its file is not empty; thumbnail made
  ConvertLaunchFailed = 1,  // the encoder could not be started
  ConvertCancelled = 2,     // the stop event was set
  ConvertNoItem = 3,        // no entry
  ConvertNoOutput = 4,      // the encoder failed or left no file (or an empty one)
};

// The encoder program of a program folder.
std::string EncoderProgram(const std::string& programFolder);

struct VideoConversion {
  std::string programFolder;
  uint32_t videoOptions = 0;  // AppConfig::VideoOptions: level and screen shape
  bool avc = false;
  std::string output;  // empty: "PSP.MP4" in the program folder
  const ManualResetEvent* stop = nullptr;
};

struct ConvertOutcome {
  int result = ConvertNoItem;
  std::string output;     // the file the encoder was to write
  std::string thumbnail;  // its thumbnail, when one was made
};

ConvertOutcome ConvertVideo(const MediaEntry* entry, const VideoConversion& conversion,
                            IMediaWindow& window, EncoderProgress& progress);

// Takes one frame of source with the encoder (6 s in, or a minute for 5,000,000 bytes and more)
// and writes it as a 160x120 JPEG at VideoThumbnailPath(target). Each call uses a frame file of
// its own in the program folder. True when a frame was captured.
bool MakeVideoThumbnail(const std::string& programFolder, const std::string& source,
                        const ManualResetEvent* stop, const std::string& target);

}  // namespace pspkvx
