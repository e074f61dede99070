// The memory stick's layout: the folders the PSP's own menus read, the numbered video names,
// the size texts of lists and space messages. Everything here builds paths by plain
// concatenation with the platform's separator and writes the folder names exactly as below.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace pspkvx {

// What a file on the stick is, which decides its folder.
enum StickKind : int {
  StickSaves = 0,       // "PSP\SAVEDATA"
  StickPhotos = 1,      // "PSP\Photo"
  StickMpeg4Video = 2,  // "mp_root\100mnv01", names "M4V%5.5i.MP4"
  StickAvcVideo = 3,    // "mp_root\100anv01", names "MAQ%5.5i.MP4"
  StickMusic = 4,       // "PSP\Music"
  StickGameUpdate = 5,  // "PSP\GAME\UPDATE" (only for WriteToStick)
  StickFullPath = 6,    // the name is already a full path
};

inline constexpr int kLastVideoNumber = 99999;

// The folder of a kind relative to the stick's root, with the platform's separator ("PSP/Photo"
// on Linux); empty for StickFullPath and unknown kinds.
std::string StickFolder(int kind);
// "mp_root" + separator + "100anv01" (AVC) or "100mnv01" (MPEG-4).
std::string VideoFolder(bool avc);

// Creates every folder along path (each prefix before a separator, and the whole path), except
// drive roots; errors are ignored (a later file creation reports them). 0 for an empty path,
// else 1.
int MakeFolders(platform::Platform& platform, const std::string& path);

// The first free video name of a folder (given with its trailing separator): "M4V00001.MP4"
// upwards (AVC: "MAQ..."), the first number whose name no entry of the folder carries, in any
// case. Empty when all 99999 names are taken.
std::string NextVideoName(const platform::Platform& platform, const std::string& folder, bool avc);

// The path of relative (components split at the platform's separator) inside folder as the
// stick's FAT file system finds it: a component naming an existing entry in another case takes
// that entry's name (an exact match wins); from the first component that is not there on, the
// rest stays as given. folder + separator + relative when nothing of it exists.
std::string FindOnStick(const platform::Platform& platform, const std::string& folder,
                        const std::string& relative);

// The size text of lists and space messages: below 10240 bytes whole kilobytes rounded up
// ("10 Kb"), else single-precision megabytes with two decimals ("0.01Mb"), plus 0.01 where the
// single-precision value falls short of the size.
std::string FormatSize(uint64_t bytes);

// The message for a non-zero WriteToStick result (what the save install shows). stickFull: the
// stick's free bytes are not more than the length written.
std::string WriteToStickMessage(int code, uint64_t length, uint64_t written, bool stickFull);

}  // namespace pspkvx
