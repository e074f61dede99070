// The skinned window's face at any size, composed from one skin picture by nine-slice tiling:
// the four corners copied, the edges and the centre tiled (whole tiles from the left and the
// top, the last one cut short).
#pragma once

#include <optional>
#include <string>

#include "ui/skin/PixelImage.h"

namespace pspkvx {

// The slice sizes: corner width CX, stretch width TX, corner height CY, stretch height TY. The
// skin picture is (2 CX + TX) x (2 CY + TY).
struct SkinSlices {
  int cornerWidth = 0;    // CX
  int stretchWidth = 0;   // TX
  int cornerHeight = 0;   // CY
  int stretchHeight = 0;  // TY
  int SkinWidth() const { return 2 * cornerWidth + stretchWidth; }
  int SkinHeight() const { return 2 * cornerHeight + stretchHeight; }
  bool operator==(const SkinSlices&) const = default;
};

// The main window's skin: "Dat/Dialog Graphic.bmp", 740 x 520.
inline constexpr SkinSlices kMainWindowSlices{256, 228, 128, 264};

// Sizes of this many pixels or more are never composed (nor taken by a resize).
inline constexpr int kMaxSkinSize = 10001;

// Why the slices do not describe the skin picture (a negative or zero size, a picture of
// another size), or empty.
std::string SlicesProblem(const PixelImage& skin, const SkinSlices& slices);

// Whether a face of width x height is composed: at least the skin's size and below 10001 in
// both directions. A window smaller than its skin keeps the face it has.
bool ComposesFaceAt(const SkinSlices& slices, int width, int height);

// Composes the face at width x height into face, reusing its buffer; false (face untouched)
// when ComposesFaceAt says no or the slices do not fit.
bool ComposeFaceInto(const PixelImage& skin, const SkinSlices& slices, int width, int height,
                     PixelImage& face);

// The face at width x height; none when ComposesFaceAt says no or the slices do not fit.
std::optional<PixelImage> ComposeFace(const PixelImage& skin, const SkinSlices& slices, int width,
                                      int height);

}  // namespace pspkvx
