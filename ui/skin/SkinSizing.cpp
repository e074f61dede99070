#include "ui/skin/SkinSizing.h"

#include <algorithm>

#include "ui/skin/NineSlice.h"

namespace pspkvx {

std::optional<SkinSize> ResizeTarget(int width, int height, bool limitToWorkArea,
                                     const SkinSizeLimits& limits) {
  if (limitToWorkArea) {
    height = std::min(height, limits.workArea.bottom - limits.top);
    width = std::min(width, limits.workArea.right - limits.left);
  }
  width = std::max(width, limits.minimum.width);
  height = std::max(height, limits.minimum.height);
  if (width >= kMaxSkinSize || height >= kMaxSkinSize) return std::nullopt;
  return SkinSize{width, height};
}

bool InResizeGrip(int x, int y, SkinSize window, int grip) {
  return grip > 0 && x > window.width - grip && y > window.height - grip;
}

SkinSize DraggedSize(SkinSize atPress, int pressX, int pressY, int pointerX, int pointerY,
                     int windowLeft, int windowTop, SkinSize minimum) {
  pointerX = std::max(pointerX, windowLeft + minimum.width);
  pointerY = std::max(pointerY, windowTop + minimum.height);
  return {atPress.width + pointerX - pressX, atPress.height + pointerY - pressY};
}

std::optional<SkinRect> MaximizedRect(const SkinRect& workArea, int grip) {
  if (grip <= 0) return std::nullopt;
  return workArea;
}

}  // namespace pspkvx
