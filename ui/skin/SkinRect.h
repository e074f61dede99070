// A rectangle of the skinned windows in client pixels, by its edges (right and bottom are one
// past the last column and row).
#pragma once

namespace pspkvx {

struct SkinRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const SkinRect&) const = default;
};

struct SkinSize {
  int width = 0;
  int height = 0;
  bool operator==(const SkinSize&) const = default;
};

}  // namespace pspkvx
