// The sizes of a photo copied to the stick in each copy mode, and the part of the picture that
// is kept in the mode that cuts. Plain arithmetic on whole numbers, so the limiting side comes
// out exactly 480 or 272 (in floating point, 1000 / (1000 / 480) is 479.999...).
#pragma once

#include <cstdint>

namespace pspkvx {

// The photo copy modes (the configuration's PhotoCopyMode).
enum PhotoMode : int {
  PhotoStraight = 0,  // JPEG files copied as they are; other images as a JPEG of their own size
  PhotoFit = 1,       // shrunk to fit inside the screen, keeping the proportions
  PhotoStretch = 2,   // scaled to exactly the screen, whatever the proportions
  PhotoCover = 3,     // scaled to cover the screen keeping the proportions, the centre kept
};

inline constexpr int kPspScreenWidth = 480;
inline constexpr int kPspScreenHeight = 272;

// A rectangle of the scaled picture: right and bottom exclusive.
struct PhotoRect {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;
  int64_t Width() const { return right - left; }
  int64_t Height() const { return bottom - top; }
  bool operator==(const PhotoRect&) const = default;
};

struct PhotoSize {
  // The whole picture after scaling (for PhotoCover before the cut: it may be far larger than
  // what is kept, so it is never made whole). Equal to the source's size when nothing scales.
  int64_t scaledWidth = 0;
  int64_t scaledHeight = 0;
  // The part of the scaled picture that is written: all of it except for PhotoCover.
  PhotoRect kept;
  // What is written: kept's size.
  int64_t width = 0;
  int64_t height = 0;

  bool Scales(uint32_t sourceWidth, uint32_t sourceHeight) const {
    return scaledWidth != sourceWidth || scaledHeight != sourceHeight;
  }
};

// The sizes for a source of width x height in a mode; a mode outside 0..3 changes nothing, as
// PhotoStraight. Every side is at least 1 pixel. A source with a side of 0 gives all zeros.
PhotoSize PhotoSizeFor(int mode, uint32_t width, uint32_t height);

// The part of the source that ends up in size.kept, in source pixels (right and bottom
// exclusive): kept's edges mapped back by the scale factors, rounded to whole pixels, at least
// one pixel each way. Scaling only this part to size.width x size.height gives the kept picture
// without the whole scaled one.
PhotoRect SourceRectOfKept(const PhotoSize& size, uint32_t width, uint32_t height);

}  // namespace pspkvx
