// A save's icon decoded into plain pixels, for the lists that show it.
#pragma once

#include <cstdint>
#include <span>

#include "media/Picture.h"

namespace pspkvx {

using IconPicture = Picture;

// Decodes an image of any format FreeImage knows from its content (a save icon is a PNG).
// False, with the picture left as it was, when the bytes are not an image.
bool DecodeIconPicture(std::span<const uint8_t> bytes, IconPicture& picture);

}  // namespace pspkvx
