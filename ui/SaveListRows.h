// The PSP saves list as the window shows it: one row per save folder of the stick, in scan
// order, with the save's icon as the row's picture.
#pragma once

#include <atomic>
#include <cstddef>
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

// Rebuilds the list from the entries when needsRebuild is set (and clears it): every row with
// its icon as the row's picture, and the empty-list line. False when nothing was to be done.
bool FillSaveList(const platform::Platform& platform, const CPspDrive& drive,
                  const std::vector<SaveEntry>& entries, ListModel& list,
                  std::atomic<bool>& needsRebuild);

}  // namespace pspkvx
