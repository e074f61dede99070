// A picture as plain pixels, for the lists that show one (a save's icon, a photo's small
// picture).
#pragma once

#include <cstdint>
#include <vector>

namespace pspkvx {

struct Picture {
  unsigned width = 0;
  unsigned height = 0;
  std::vector<uint8_t> bgra;  // 4 bytes per pixel (blue, green, red, alpha), top row first
};

}  // namespace pspkvx
