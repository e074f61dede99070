// The Delete button under a PSP saves list: the selected rows' saves removed from the stick.
#pragma once

#include <cstddef>

#include "saves/SaveRemoval.h"
#include "saves/SaveStick.h"
#include "ui/ListModel.h"

namespace pspkvx {

// Removes the save of every selected row of the PSP saves list (its folder column), without a
// question, while the PSP is ready: each row is unselected and the free space refreshed after
// its save. True when anything was deleted; the caller then rebuilds the list.
bool DeleteSelectedSaves(const SaveStick& stick, ListModel& list);

// Removes the save of one selected row as DeleteSaveFolder does, asking first when the folder
// holds anything. NotDone while the PSP is not ready or the row is not selected.
SaveDeletion DeleteSaveWithQuestion(const SaveStick& stick, const ListModel& list, size_t index);

}  // namespace pspkvx
