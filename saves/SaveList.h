// The rows of the PSP saves list: one per save folder of the stick, in scan order.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "psp/PspDrive.h"
#include "saves/SaveDiscovery.h"
#include "ui/ListModel.h"

namespace pspkvx {

// The columns of a save's row.
enum SaveListColumn : size_t {
  SaveColumnTitle = 0,
  SaveColumnFolder = 1,
  SaveColumnDate = 2,
  SaveColumnSize = 3,
  SaveColumnIcon = 4,
  kSaveListColumns = 5,
};

struct SaveRow {
  std::string title;   // ReadSaveTitle
  std::string folder;  // the folder name
  std::string date;    // SaveDateText of the folder's modification time
  std::string size;    // FormatSize of the folder's bytes
  uint64_t bytes = 0;  // FolderSize of the folder
  std::string icon;    // the folder's path + separator + "icon0.png"
};

// The row of each entry, in the entries' order.
std::vector<SaveRow> BuildSaveRows(const platform::Platform& platform, const CPspDrive& drive,
                                   const std::vector<SaveEntry>& entries);

// The list's line when it has no rows: "There are no saves on your PSP" while the PSP is ready,
// else the text that asks for it to be plugged in.
std::string EmptySaveListText(const CPspDrive& drive);

// Rebuilds the list from the entries when needsRebuild is set (and clears it): every row with
// its icon as the row's picture, and the empty-list line. False when nothing was to be done.
bool FillSaveList(const platform::Platform& platform, const CPspDrive& drive,
                  const std::vector<SaveEntry>& entries, ListModel& list,
                  std::atomic<bool>& needsRebuild);

}  // namespace pspkvx
