// The copy engine: one file to the stick in chunks, with progress, the overwrite question and
// the stop event; and the sending step that picks the destination, checks the room, copies a
// video's thumbnail beside it and turns the copier's result into the user's message.
//
// A copy that fails or is stopped never leaves a partial file: the data goes to a temporary
// file beside the destination, renamed over it only when it is complete. Where the stick has
// no room for both, an existing file being overwritten is removed first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/ManualResetEvent.h"
#include "media/MediaCatalogue.h"
#include "media/MediaStick.h"

namespace pspkvx {

enum CopyResult : int {
  CopyDone = 0,
  CopySourceUnreadable = 4,  // no source, it cannot be opened, or it ended early or failed
  CopyCannotCreate = 5,      // no name, or the destination cannot be created
  CopyStickFull = 6,         // a write wrote fewer bytes than asked
  CopyStopped = 7,
  CopySkipped = 8,  // Skip at the overwrite question, or the Rename dialog cancelled
  CopyNoBuffer = -99,
};

// The chunk the copier reads and writes: 512 KiB, halved while twenty chunks would be more than
// the file and the chunk is above 2 bytes, so that a file goes in about twenty steps at least.
size_t CopyChunkSize(uint64_t sourceSize);

// The text written after a thumbnail's data: "Name:" and the display name, 40 characters at
// most in all.
std::string ThumbnailTrailer(const std::string& displayName);

struct CopyRequest {
  std::string source;
  std::string name;  // the name in the kind's folder (not used for the video kinds)
  int kind = 0;      // StickKind: the destination folder and naming
  const ManualResetEvent* stop = nullptr;
  std::string trailer;  // written after the data (a thumbnail's); empty: none
  bool quiet = false;   // no progress
};

struct CopyOutcome {
  int result = CopyDone;
  std::string destination;  // the file written, or the one the copy was meant for
};

CopyOutcome CopyFileToStick(const MediaStick& stick, const CopyRequest& request);

// One entry of a media page to the stick.
struct SendRequest {
  int kind = 0;  // MediaKind: video, music or photo
  MediaEntry entry;
  const ManualResetEvent* stop = nullptr;
  bool avc = false;  // videos: to the AVC folder
  // Music and photos: the group folder (or the selected folder row) to send into; empty: the top.
  std::string subfolder;
  // Videos: a converted file to send in the entry's place (deleted afterwards); empty: none.
  std::string convertedFile;
};

enum SendResult : int {
  SendDone = 0,
  SendSkipped = 1,  // skipped at the question, or stopped
  SendNoRoom = -1,  // its message was shown
  SendFailed = -2,  // its message was shown
};

struct SendOutcome {
  int result = SendDone;
  std::string destination;  // the file on the stick: written, or kept at the question
  std::string thumbnail;    // a video's thumbnail on the stick (when one was written)
};

SendOutcome SendToStick(const MediaStick& stick, const SendRequest& request);

// True when the file's bytes 140 to 142 are "avc": an MP4 encoded with AVC.
bool IsAvcMp4(const platform::Platform& platform, const std::string& path);

}  // namespace pspkvx
