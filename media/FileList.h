// The list files that keep the PC collections from one run to the next, in the program folder:
// "filelist video.fll", "filelist music.fll", "filelist images.fll". Layout (little-endian):
// "gFILELISTb", a 32-bit version (1), then one record per entry: the name and the path, each
// followed by "\r\n", the size (signed 64-bit), the modification time (32-bit) and the
// attributes byte. Paths are kept whole, however long.
//
// "rated.fll" beside them holds an array of 32-bit values and nothing else.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "media/MediaCatalogue.h"

namespace pspkvx {

inline constexpr char kFileListMagic[] = "gFILELISTb";
inline constexpr uint32_t kFileListVersion = 1;
inline constexpr char kRatedListName[] = "rated.fll";

// The list file of a media kind (MediaKind); empty for another number.
std::string FileListName(int kind);

enum FileListLoad : int {
  FileListLoaded = 0,
  FileListCannotOpen = -1,
  FileListWrongMagic = -2,
  FileListNewerVersion = -3,
};

// The records of a list file's bytes as they are stored (names, paths, sizes, times and
// attributes); a record cut short ends them, keeping the ones before it. FileListLoaded, or why
// the bytes are not a list file this program reads.
int ParseFileList(std::span<const uint8_t> bytes, std::vector<MediaEntry>& records);

// Appends the records of the file to the catalogue: a record whose file no longer exists is
// dropped, the others take the file's size and time as they are now; a record cut short ends
// the list, keeping the ones before it.
int LoadFileList(MediaCatalogue& catalogue, const std::string& path);

// Writes every entry (replacing the file atomically); false when it cannot be written.
bool SaveFileList(const MediaCatalogue& catalogue, const std::string& path);

// The rated list: none read from a file that cannot be read, is empty or whose size is not a
// multiple of 4.
std::vector<uint32_t> LoadRatedList(const std::string& path);
// Writes the values in order; an empty list writes nothing and leaves any file alone.
bool SaveRatedList(const std::vector<uint32_t>& values, const std::string& path);

}  // namespace pspkvx
