// Adding files the user chose to a media catalogue: the type test, a known path refreshed, a
// folder with everything below it.
#pragma once

#include <string>

#include "base/MessageBox.h"
#include "media/MediaCatalogue.h"
#include "platform/Platform.h"

namespace pspkvx {

enum class AddOutcome {
  Added,
  Refreshed,    // the path was there already: its size and time read again, state 2
  NotThisType,  // the kind takes no file of this type; nothing happened, nothing shown
  Failed,       // the file could not be read; its message was shown
};

// The add button's step for one chosen path (kind: MediaKind): a file of one of the kind's
// types, or a folder with everything below it. The caller sorts, redraws and saves once the
// last path is added.
AddOutcome AddToCatalogue(MediaCatalogue& catalogue, int kind, const std::string& path,
                          IMessageBoxHost* messages);

// Adds a file or folder without the type test, a folder with every item below it (items
// already there get state 2; items inside folders are not tested for their type). Folders
// reached through a symbolic link are listed, not entered, so a link loop cannot make it
// endless. A path holding a line break cannot be kept in a list file and is refused.
AddOutcome AddEntry(MediaCatalogue& catalogue, const std::string& path, IMessageBoxHost* messages);

// The entry of a file as it is now on disk (its size, time and attributes); none when it cannot
// be read.
std::optional<MediaEntry> EntryOfFile(const std::string& path);
// The same for many paths in a row (a list read back, a folder walked).
std::optional<MediaEntry> EntryOfFile(const std::string& path, platform::LocalPathQuery& query);

}  // namespace pspkvx
