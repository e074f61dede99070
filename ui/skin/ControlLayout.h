// The skinned window's layout rules: how each child control follows a change of the window's
// size, by rules kept in registration order (a control may have several). Rules relative to the
// window move or grow a control by the size change (or a part of it); rules relative to another
// control place it against that control, by distances measured when the rule is registered.
#pragma once

#include <map>
#include <vector>

#include "ui/skin/SkinRect.h"

namespace pspkvx {

inline constexpr int kLayoutRelativeToWindow = -1;

// Modes relative to the window (other control -1), with DX and DY the change of size:
//   2 left += DX, 4 top += DY, 5 height += DY, 6 width += DX, 11 width += DX / divisor,
//   12 left += DX / divisor and width += DX / divisor, 13 left += DX / divisor,
//   14 top += DY / divisor; 3 and 7-10 change nothing.
// Modes relative to another control O:
//   1 left = O.left + dx, 2 left = O.right + dx, 3 top = O.top + dy, 4 top = O.bottom + dy,
//   5 O's height = ratio x (this bottom - O.top), this control from O.bottom + dy keeping its
//     bottom, 6 the same with widths, 7 O's width = this left - dx, 8 this width = O.left - dx,
//   9 O's height = this top - dy, 10 this control from O.bottom + dy keeping its bottom.
// Divisions round toward zero (integer division).
struct LayoutRule {
  int control = 0;
  int mode = 0;
  int other = kLayoutRelativeToWindow;
  int offsetX = 0;
  int offsetY = 0;
  double ratio = 0;
  int divisor = 1;
};

class ControlLayout {
 public:
  // The window's size the rules start from.
  explicit ControlLayout(SkinSize size = {}) : last_(size) {}

  // A rule relative to the window's size.
  void Add(int control, int mode, int divisor = 1);
  // A rule relative to another control, its distances measured from the rectangles now.
  void AddRelative(int control, int mode, int other, const SkinRect& controlRect,
                   const SkinRect& otherRect, double ratio = 0);

  // Applies every rule, in order, for the window's new size to the controls' rectangles
  // (rects holds each control's current place and is updated). Returns the controls whose
  // rectangle changed, with their new place; the size becomes the last size.
  std::map<int, SkinRect> Apply(SkinSize size, std::map<int, SkinRect>& rects);

  SkinSize LastSize() const { return last_; }

 private:
  std::vector<LayoutRule> rules_;
  SkinSize last_;
};

}  // namespace pspkvx
