#include "ui/skin/SkinRegion.h"

#include <algorithm>

namespace pspkvx {

std::vector<RegionRect> RegionRectangles(const PixelImage& face, uint32_t keyRgb, int start,
                                         int rightMargin) {
  std::vector<RegionRect> rectangles;
  const uint32_t key = keyRgb & kPixelColourMask;
  const int end = face.width - rightMargin;
  for (int y = 0; y < face.height; ++y) {
    const uint32_t* row = face.Row(y);
    int x = std::max(start, 0);
    while (x < end) {
      const int x0 = x;
      while (x < face.width && (row[x] & kPixelColourMask) != key)
        ++x;
      if (x > x0) rectangles.push_back({x0, y, x, y + 1});
      ++x;  // over the key pixel
    }
  }
  return rectangles;
}

void ForEachRegionBlock(std::span<const RegionRect> rectangles,
                        const std::function<void(std::span<const RegionRect>)>& unite,
                        size_t blockSize) {
  blockSize = std::max<size_t>(blockSize, 1);
  for (size_t first = 0; first < rectangles.size(); first += blockSize)
    unite(rectangles.subspan(first, std::min(blockSize, rectangles.size() - first)));
}

}  // namespace pspkvx
