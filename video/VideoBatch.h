// One selected video of the video page sent to the PSP as the page's batch does it: an MP4 as
// it is (its header tells its encoding), any other video converted first (VideoConvert.h) and
// the converted file sent with its thumbnail, then removed.
#pragma once

#include "media/MediaBatch.h"
#include "video/VideoConvert.h"

namespace pspkvx {

// conversion.output is not used: a conversion for the PSP goes to "PSP.MP4" in the program
// folder. Messages go through the stick's host: string 84 for a video the encoder could not
// convert, IDS_ENCODER_NOT_STARTED when the encoder could not be started.
BatchStep ConvertForPspStep(const MediaStick& stick, const MediaEntry& entry,
                            const VideoConversion& conversion, EncoderProgress& progress);

}  // namespace pspkvx
