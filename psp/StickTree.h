// Removing a folder tree from the stick, the one walk behind every deletion of a folder with
// its contents (a save, a group folder).
#pragma once

#include <string>

#include "base/MessageBox.h"
#include "platform/Platform.h"

namespace pspkvx {

// Removes the folder at path (a trailing separator is ignored) with everything in it; 0 when it
// is gone. The walk lists each folder once and goes through it once: the first file that cannot
// be deleted shows "Couldn't delete the file:" with its path and ends the removal (-1), as does a
// folder that cannot be removed ("Couldn't delete the folder:"). What was deleted before stays
// deleted. Symbolic links are removed, never followed; a link or file at path itself is removed.
int DeleteStickTree(platform::Platform& platform, IMessageBoxHost& host, const std::string& path);

}  // namespace pspkvx
