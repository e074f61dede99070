#include "ui/WindowGeometry.h"

#include <algorithm>

namespace pspkvx {

Rect FitToWorkArea(const Rect& stored, const Rect& workArea) {
  Rect fitted = stored;
  if (fitted.left > workArea.right() || fitted.left < workArea.left) fitted.left = workArea.left;
  if (fitted.top > workArea.bottom() || fitted.top < workArea.top) fitted.top = workArea.top;
  if (fitted.right() > workArea.right()) fitted.width = workArea.right() - fitted.left;
  if (fitted.bottom() > workArea.bottom()) fitted.height = workArea.bottom() - fitted.top;
  return fitted;
}

Placement PlacementFor(const Rect& stored, const Rect& workArea) {
  Placement placement;
  placement.rect = FitToWorkArea(stored, workArea);
  if (placement.rect == workArea) {
    placement.rect = {workArea.left + 20, workArea.top + 20, workArea.width - 40,
                      workArea.height - 40};
    placement.maximized = true;
  }
  placement.rect.width = std::max(placement.rect.width, kMinimumWindowWidth);
  placement.rect.height = std::max(placement.rect.height, kMinimumWindowHeight);
  return placement;
}

CaptionAction CaptionDoubleClickAction(int x, int y, const Rect& caption) {
  const int bottom = caption.bottom();
  if (x >= 1 && x <= 39 && y >= 1 && y <= bottom) return CaptionAction::Exit;
  if (x >= 40 && x <= 249 && y >= 11 && y <= bottom) return CaptionAction::About;
  if (x > caption.left && x < caption.right() && y > caption.top && y < bottom)
    return CaptionAction::MaximizeOrRestore;
  return CaptionAction::None;
}

}  // namespace pspkvx
