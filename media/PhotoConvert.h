// Photo conversion: a picture file loaded with FreeImage, scaled or cut for the PSP's screen as
// its copy mode says (PhotoSizes.h), and written as a JPEG into the stick's photo folder.
//
// It runs on the batch worker. Messages and the overwrite question go through the stick's host;
// the status line, the progress (5, 20, 30, 100) and the Rename dialog through its window. The
// JPEG is made in memory and put in place through a temporary file and a rename, so a failed
// or stopped conversion leaves no partial file and never loses the file it was to replace.
#pragma once

#include <cstdint>
#include <string>

#include "base/ManualResetEvent.h"
#include "media/MediaStick.h"

namespace pspkvx {

enum PhotoResult : int {
  PhotoConverted = 0,
  // The source cannot be opened, is not a picture, or cannot be loaded; only the last shows a
  // message (a batch passes over files that are not pictures quietly; the status line says why).
  PhotoUnreadable = -1,
  // It could not be scaled, encoded or written: the message was shown, nothing was written.
  PhotoFailed = -2,
  // Skip, a closed question or a cancelled Rename: nothing was written.
  PhotoSkipped = -3,
  // The stop event was set before the JPEG was written: nothing was written.
  PhotoStopped = -4,
};

struct PhotoOutcome {
  // The JPEG written; for PhotoSkipped the file that was there and is kept.
  std::string path;
  // The JPEG's size; for PhotoSkipped the size it would have had.
  int64_t width = 0;
  int64_t height = 0;
  std::string error;  // for PhotoUnreadable: why, naming the source
};

// Converts sourcePath in a copy mode (PhotoMode; another value converts as PhotoStraight) into
// the stick's photo folder, inside subfolder when it is not empty (the open group, or the group
// folder selected in the stick's list: one folder name the stick can hold, StickNameProblem;
// created when missing). The JPEG's
// name is PhotoJpegName(sourcePath); an existing file of that name, in any case, is asked about.
// stop may be null. outcome, when given, receives what was written or why nothing was.
int ConvertPhoto(const MediaStick& stick, const std::string& sourcePath, int mode,
                 const std::string& subfolder, const ManualResetEvent* stop,
                 PhotoOutcome* outcome = nullptr);

// The name a picture file gets on the stick: its last path component with its extension (from
// the last dot on, unless the name begins there) replaced by ".jpg" ("IMG_1.PNG" -> "IMG_1.jpg").
std::string PhotoJpegName(const std::string& sourcePath);

}  // namespace pspkvx
