// Removing saves from the stick: a whole folder tree, or one save after asking.
#pragma once

#include <string>

#include "saves/SaveStick.h"

namespace pspkvx {

// Removes the folder at path with everything in it; 0 when it is gone, -1 after the message of
// what could not be deleted (DeleteStickTree, psp/StickTree.h).
int DeleteTree(const SaveStick& stick, const std::string& path);

enum class SaveDeletion {
  NotDone,  // the PSP is not ready, or the name is not a save folder's
  Kept,     // the user answered No
  Deleted,
  Failed,  // DeleteTree showed why
};

// Removes the save folder of that name while the PSP is ready. With ask, a folder that holds
// anything goes only after "Delete the entire save?" with its folder name was answered Yes (an
// empty folder goes without a question); afterwards the drive's space is probed again. The
// caller rescans the list.
SaveDeletion DeleteSaveFolder(const SaveStick& stick, const std::string& folderName, bool ask);

}  // namespace pspkvx
