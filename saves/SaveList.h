// The rows of the PSP saves list: one per save folder of the stick, in scan order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "psp/PspDrive.h"
#include "saves/SaveDiscovery.h"

namespace pspkvx {

struct SaveRow {
  std::string title;   // ReadSaveTitle
  std::string folder;  // the folder name
  std::string date;    // DateTimeText of the folder's modification time
  std::string size;    // FormatSize of the folder's bytes
  uint64_t bytes = 0;  // FolderSize of the folder
  std::string icon;    // the path of the folder's "icon0.png", in whatever case it has there
};

// The row of each entry, in the entries' order.
std::vector<SaveRow> BuildSaveRows(const platform::Platform& platform, const CPspDrive& drive,
                                   const std::vector<SaveEntry>& entries);

// The list's line when it has no rows: "There are no saves on your PSP" while the PSP is ready,
// else the text that asks for it to be plugged in.
std::string EmptySaveListText(const CPspDrive& drive);

}  // namespace pspkvx
