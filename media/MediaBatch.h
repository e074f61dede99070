// One selected row of a media page handled as the page's batch handles it: a music file or a
// photo sent to the stick (a photo converted instead when its copy mode or its type asks for
// it), an MP4 video sent as it is with its encoding told from its header. The window's batch
// and pspkvx-cli's send share it.
#pragma once

#include <string>

#include "base/ManualResetEvent.h"
#include "media/MediaCatalogue.h"
#include "media/MediaStick.h"

namespace pspkvx {

// Whether a photo goes through the converter: in every copy mode but the first, and in the
// first for a file that is not a JPEG (".jpg").
bool PhotoNeedsConversion(int photoMode, const std::string& path);

struct BatchStep {
  // false: the entry is not this batch's (a folder; a video that must be converted first).
  bool handled = false;
  // A photo went through the converter: result is ConvertPhoto's (PhotoResult), else
  // SendToStick's (SendResult).
  bool converted = false;
  int result = 0;
  std::string destination;  // the file on the stick, when one was written (or kept by Skip)
  std::string thumbnail;    // a video's thumbnail on the stick, when one was written
  std::string error;        // why a photo was passed over without a message (not a picture)
  // A video conversion that did not end in a file to send: whether the batch goes on (a file
  // the encoder could not convert) or ends (stopped).
  bool conversionFailed = false;
  bool conversionStopped = false;
  // The row is done and deselected in the PC list: sent, or through the converter whatever
  // its result (the converter showed what went wrong).
  bool Done() const { return handled && (converted || result == 0); }
  // The batch goes no further: a video not sent, or a music file or photo that found no room
  // or failed with its message.
  bool EndsBatch(int kind) const;
};

// kind: MediaKind; subfolder: the group folder for music and photos (empty: the top);
// photoMode: PhotoMode. stop may be null.
BatchStep SendPageEntry(const MediaStick& stick, int kind, const MediaEntry& entry,
                        const std::string& subfolder, int photoMode, const ManualResetEvent* stop);

}  // namespace pspkvx
