// How a skinned window changes size: the size a resize ends at, the resize grip, dragging the
// grip, and maximizing.
#pragma once

#include <optional>

#include "ui/skin/SkinRect.h"

namespace pspkvx {

inline constexpr int kDefaultGripSize = 36;

struct SkinSizeLimits {
  SkinSize minimum{100, 100};
  SkinRect workArea;
  int left = 0;  // the window's place
  int top = 0;
};

// The size a resize to width x height ends at: with limitToWorkArea cut so that the window ends
// at the work area's right and bottom, then raised to the minimum. None (the resize is ignored)
// when either is then 10001 or more.
std::optional<SkinSize> ResizeTarget(int width, int height, bool limitToWorkArea,
                                     const SkinSizeLimits& limits);

// Whether (x, y) lies in the grip of a window of width x height: more than width - grip to the
// right and more than height - grip down. A grip of 0 makes the window not resizable.
bool InResizeGrip(int x, int y, SkinSize window, int grip);

// The size while the grip is dragged: the size at the press plus the pointer's travel, the
// pointer (screen) kept at least the minimum size right of and below the window's left and top.
SkinSize DraggedSize(SkinSize atPress, int pressX, int pressY, int pointerX, int pointerY,
                     int windowLeft, int windowTop, SkinSize minimum);

// Where a maximized window goes: the work area's origin with the work area's size, so that the
// caption band is not under a panel at the top or the left. None when the grip is 0 (the window
// is not maximizable).
std::optional<SkinRect> MaximizedRect(const SkinRect& workArea, int grip);

}  // namespace pspkvx
