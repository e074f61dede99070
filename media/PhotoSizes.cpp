#include "media/PhotoSizes.h"

#include <algorithm>
#include <cmath>

namespace pspkvx {
namespace {

constexpr int64_t kWidth = kPspScreenWidth;
constexpr int64_t kHeight = kPspScreenHeight;

int64_t CeilDiv(int64_t a, int64_t b) {
  return (a + b - 1) / b;
}

// One edge of kept in source pixels.
int64_t SourceEdge(int64_t scaledEdge, int64_t scaledSide, uint32_t sourceSide) {
  const double edge = std::round(static_cast<double>(scaledEdge) * sourceSide / scaledSide);
  return std::clamp<int64_t>(static_cast<int64_t>(edge), 0, sourceSide);
}

// The edges of one side: at least one pixel, inside the source.
void AtLeastOnePixel(int64_t& low, int64_t& high, uint32_t sourceSide) {
  if (high > low) return;
  low = std::min<int64_t>(low, int64_t{sourceSide} - 1);
  high = low + 1;
}

}  // namespace

PhotoSize PhotoSizeFor(int mode, uint32_t width, uint32_t height) {
  PhotoSize size;
  if (width == 0 || height == 0) return size;
  const int64_t w = width;
  const int64_t h = height;
  int64_t scaledWidth = w;
  int64_t scaledHeight = h;
  // Scaling the width to the screen's width makes the height h * 480 / w; it stays within the
  // screen's height when h * 480 <= 272 * w, which compared on whole numbers is exact.
  const bool widerThanScreen = h * kWidth < kHeight * w;
  switch (mode) {
    case PhotoFit:
      // Shrinking only; the side that limits is exactly the screen's, the other one truncated.
      if (w > kWidth && !(h * kWidth > kHeight * w)) {
        scaledWidth = kWidth;
        scaledHeight = h * kWidth / w;
      } else if (w > kWidth || h > kHeight) {
        scaledHeight = kHeight;
        scaledWidth = w * kHeight / h;
      }
      break;
    case PhotoStretch:
      scaledWidth = kWidth;
      scaledHeight = kHeight;
      break;
    case PhotoCover:
      // Up or down until both sides cover the screen; the other side rounded up.
      if (widerThanScreen) {
        scaledHeight = kHeight;
        scaledWidth = CeilDiv(w * kHeight, h);
      } else {
        scaledWidth = kWidth;
        scaledHeight = CeilDiv(h * kWidth, w);
      }
      break;
    default:
      break;
  }
  size.scaledWidth = std::max<int64_t>(scaledWidth, 1);
  size.scaledHeight = std::max<int64_t>(scaledHeight, 1);
  size.kept = {0, 0, size.scaledWidth, size.scaledHeight};
  if (mode == PhotoCover) {
    // The centre; an uneven overlap loses its odd pixel on the right or at the bottom.
    PhotoRect& kept = size.kept;
    kept.top = size.scaledHeight > kHeight ? (size.scaledHeight - kHeight) / 2 : 0;
    kept.left = size.scaledWidth > kWidth ? (size.scaledWidth - kWidth) / 2 : 0;
    kept.bottom = std::min(kept.top + kHeight, size.scaledHeight);
    kept.right = std::min(kept.left + kWidth, size.scaledWidth);
  }
  size.width = size.kept.Width();
  size.height = size.kept.Height();
  return size;
}

PhotoRect SourceRectOfKept(const PhotoSize& size, uint32_t width, uint32_t height) {
  if (width == 0 || height == 0 || size.scaledWidth <= 0 || size.scaledHeight <= 0) return {};
  PhotoRect rect;
  rect.left = SourceEdge(size.kept.left, size.scaledWidth, width);
  rect.right = SourceEdge(size.kept.right, size.scaledWidth, width);
  rect.top = SourceEdge(size.kept.top, size.scaledHeight, height);
  rect.bottom = SourceEdge(size.kept.bottom, size.scaledHeight, height);
  AtLeastOnePixel(rect.left, rect.right, width);
  AtLeastOnePixel(rect.top, rect.bottom, height);
  return rect;
}

}  // namespace pspkvx
