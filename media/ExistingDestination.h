// The question asked when a file about to be written to the stick is already there:
// "Overwrite", "Rename" (the save dialog, proposing the destination) or "Skip".
#pragma once

#include <optional>
#include <string>

#include "media/MediaStick.h"

namespace pspkvx {

// Asks through the stick's host with the text "The file already exists. Overwrite it?", "\r\n"
// and shown (the destination as the message names it). Returns the path to write: destination
// for Overwrite, the path chosen in the save dialog for Rename (something may be there too: the
// writer replaces it); none for Skip, a box closed without a button, or a cancelled Rename.
std::optional<std::string> AskExistingDestination(const MediaStick& stick,
                                                  const std::string& destination,
                                                  const std::string& shown);

}  // namespace pspkvx
