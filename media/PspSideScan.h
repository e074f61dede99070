// The right-hand list of a page: what is on the stick, read afresh. Videos are the MP4 files of
// both video folders; music and photos the page's folder (or the open group folder inside it)
// with its group folders first; saves the folders of PSP/SAVEDATA. Names and extensions are
// found whatever their case, as on the stick's FAT file system.
#pragma once

#include <string>
#include <vector>

#include "media/MediaCatalogue.h"
#include "platform/Platform.h"
#include "psp/PspDrive.h"
#include "psp/PspStick.h"

namespace pspkvx {

// The pages, numbered as the window numbers them: the media kinds, then the saves and online
// pages, which both list the saves.
inline constexpr int kScanSavesPage = 3;
inline constexpr int kScanOnlinePage = 4;

// The entries of the page's stick folders (empty unless the PSP is ready), in listing order.
// group: the open group folder of the music or photo page, empty at the top.
std::vector<MediaEntry> ScanPspSide(const PspStick& stick, int page, const std::string& group);

}  // namespace pspkvx
