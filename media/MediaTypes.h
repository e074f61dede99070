// The kinds of media and the files each takes: by the extension of the path (the text after its
// last '.').
#pragma once

#include <string>
#include <vector>

namespace pspkvx {

// The media kinds, numbered as the window's media pages.
enum MediaKind : int {
  MediaVideo = 0,
  MediaMusic = 1,
  MediaPhoto = 2,
};
inline constexpr int kMediaKinds = 3;

// True when a file of this path may be added to a collection of the kind (-1 or any other
// number: none).
bool AcceptsFileType(int kind, const std::string& path);

// The photo extensions, in upper case, in the order the photo page scans the stick for them.
const std::vector<std::string>& PhotoExtensions();

// The extension of a path in lower case (empty when it has none).
std::string LowerExtension(const std::string& path);

// The thumbnail file of a video: its path with the extension (from the last dot of the last
// component) replaced by ".thm", or ".thm" appended when it has none. Empty for a file that is
// itself a ".thm" in any case: its thumbnail would be the file.
std::string VideoThumbnailPath(const std::string& videoPath);

}  // namespace pspkvx
