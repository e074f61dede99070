// The skinned window's shape: the rectangles of a face's opaque pixels, one per run of pixels
// that are not the key colour, per row. A region is built from them in blocks of 2000 (each
// block made a region and united with the rest), so that a large face never builds one huge
// rectangle list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "ui/skin/PixelImage.h"

namespace pspkvx {

// One rectangle of the shape: columns x0 .. x1 - 1 of rows y0 .. y1 - 1.
struct RegionRect {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;
  bool operator==(const RegionRect&) const = default;
};

inline constexpr size_t kRegionBlockRectangles = 2000;

// The main window's key colour as a Windows colour value 0x00BBGGRR (pure blue), and the small
// dialogs' (white).
inline constexpr uint32_t kMainWindowKeyColour = 0xFF0000;
inline constexpr uint32_t kDialogKeyColour = 0xFFFFFF;

// The runs of pixels whose colour (the low three bytes; the high byte is ignored) is not
// keyRgb (0x00RRGGBB), row by row from the top, each from column start to width - rightMargin.
// A row of key colour only adds nothing; a row without it adds one full-width rectangle.
std::vector<RegionRect> RegionRectangles(const PixelImage& face, uint32_t keyRgb, int start = 0,
                                         int rightMargin = 0);

// Hands the rectangles to unite in blocks of at most blockSize, in order.
void ForEachRegionBlock(std::span<const RegionRect> rectangles,
                        const std::function<void(std::span<const RegionRect>)>& unite,
                        size_t blockSize = kRegionBlockRectangles);

}  // namespace pspkvx
