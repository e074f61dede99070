// A picture as the skin's rules see it: top-down rows of 32-bit pixels whose low three bytes are
// the colour 0x00RRGGBB (blue in the low byte); the high byte is not part of the colour (a
// picture read through Qt carries its alpha there).
#pragma once

#include <cstdint>
#include <vector>

namespace pspkvx {

inline constexpr uint32_t kPixelColourMask = 0x00FFFFFF;

struct PixelImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // width x height, row by row from the top

  PixelImage() = default;
  PixelImage(int w, int h, uint32_t fill = 0)
      : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

  bool Empty() const { return width <= 0 || height <= 0; }
  uint32_t At(int x, int y) const { return pixels[Index(x, y)]; }
  uint32_t& At(int x, int y) { return pixels[Index(x, y)]; }
  const uint32_t* Row(int y) const { return pixels.data() + Index(0, y); }
  uint32_t* Row(int y) { return pixels.data() + Index(0, y); }
  bool operator==(const PixelImage&) const = default;

 private:
  size_t Index(int x, int y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  }
};

}  // namespace pspkvx
