// Removing saves from the stick: a whole folder tree, the selected saves of a list without a
// question, or one save after asking.
#pragma once

#include <cstddef>
#include <string>

#include "saves/SaveStick.h"
#include "ui/ListModel.h"

namespace pspkvx {

// Removes the folder at path with everything in it; 0 when it is gone. A file that cannot be
// deleted shows "Couldn't delete the file:" with its path and ends the removal (-1), as does a
// folder that cannot be removed ("Couldn't delete the folder:"). Symbolic links are removed,
// never followed.
int DeleteTree(const SaveStick& stick, const std::string& path);

// Removes the save of every selected row of the PSP saves list (its folder column), without a
// question, while the PSP is ready: each row is unselected and the free space refreshed after
// its save. True when anything was deleted; the caller then rebuilds the list.
bool DeleteSelectedSaves(const SaveStick& stick, ListModel& list);

enum class SaveDeletion {
  NotDone,  // the PSP is not ready, or the row is not selected
  Kept,     // the user answered No
  Deleted,
  Failed,  // DeleteTree showed why
};

// Removes the save of one selected row, asking "Delete the entire save?" with its folder name
// first when the folder holds anything (an empty folder goes without a question); afterwards
// the drive's space is probed again. The caller rescans the list.
SaveDeletion DeleteSaveWithQuestion(const SaveStick& stick, const ListModel& list, size_t index);

}  // namespace pspkvx
