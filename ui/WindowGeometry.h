// The main window's placement and the rules that act on positions: the stored rectangle fitted
// to the desktop's work area, and what a double click on the caption does where.
#pragma once

namespace pspkvx {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool operator==(const Rect&) const = default;
};

inline constexpr int kMinimumWindowWidth = 740;
inline constexpr int kMinimumWindowHeight = 520;

// The stored rectangle fitted to the work area: a left or top beyond the work area's right or
// bottom, or before its left or top, becomes the work area's left or top; a width or height
// reaching beyond its right or bottom is cut to it.
Rect FitToWorkArea(const Rect& stored, const Rect& workArea);

struct Placement {
  Rect rect;
  bool maximized = false;
};
// Where the window opens: the fitted rectangle; when that equals the whole work area, 20
// pixels in from each side, maximized. The rectangle is never below the minimum size.
Placement PlacementFor(const Rect& stored, const Rect& workArea);

enum class CaptionAction { None, Exit, About, MaximizeOrRestore };
// A left double click at (x, y) in client pixels against the caption rectangle: x 1..39 with y
// from 1 to the caption's bottom exits; x 40..249 with y from 11 to the bottom shows the About
// box; anywhere else strictly inside the caption maximizes or restores.
CaptionAction CaptionDoubleClickAction(int x, int y, const Rect& caption);

}  // namespace pspkvx
