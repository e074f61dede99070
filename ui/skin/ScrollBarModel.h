// The skinned scroll bar's logic, GUI-free: its range, position and steps, where its parts lie
// along a bar of a given length and which part a point hits. The bar is vertical; "start" is
// the top.
//
// The range (total T, visible V): with T <= V everything is visible and the bar is inactive
// (maximum 0; every action is ignored). Otherwise the maximum M is T - V, the page P is V and
// a position beyond M is lowered to M (the last page).
#pragma once

namespace pspkvx {

// The parts of the bar, as the pointer finds them.
enum class ScrollPart { None, UpArrow, DownArrow, TrackAbove, TrackBelow, Thumb };

// A stretch along the bar: [start, start + length).
struct ScrollSpan {
  int start = 0;
  int length = 0;
  int End() const { return start + length; }
  bool Contains(int point) const { return point >= start && point < End(); }
  bool operator==(const ScrollSpan&) const = default;
};

// The bar's measures along its length: the whole bar, each arrow, the smallest thumb.
struct ScrollBarGeometry {
  int length = 0;
  int arrowLength = 16;
  int minThumbLength = 10;
};

// Where the parts lie; the thumb's length is 0 while the bar is inactive.
struct ScrollBarLayout {
  ScrollSpan upArrow;
  ScrollSpan track;  // between the arrows
  ScrollSpan thumb;  // inside the track
  ScrollSpan downArrow;
};

class ScrollBarModel {
 public:
  void SetRange(int total, int visible);

  // Each step says whether the position changed.
  bool LineUp();
  bool LineDown();
  bool PageUp();
  bool PageDown();
  // Moves to position, held to 0..M; ignored while inactive.
  bool SetPosition(int position);

  bool Active() const { return active_; }
  int Position() const { return position_; }
  int Maximum() const { return maximum_; }
  int Page() const { return page_; }

  // The thumb inside a track of trackLength: its length in proportion to the page (at least
  // minThumbLength, at most the track), its start in proportion to the position.
  ScrollSpan Thumb(int trackLength, int minThumbLength) const;
  ScrollBarLayout Layout(const ScrollBarGeometry& geometry) const;
  ScrollPart HitTest(int point, const ScrollBarGeometry& geometry) const;
  // The position that puts the thumb's start at thumbStart (along the bar), for dragging.
  int PositionForThumbStart(int thumbStart, const ScrollBarGeometry& geometry) const;

 private:
  bool MoveTo(int position);

  bool active_ = false;
  int maximum_ = 0;
  int page_ = 0;
  int position_ = 0;
};

// The face state (1 normal, 2 hot, 3 pressed) of a part: the pressed part shows 3 while the
// pointer is over it (the thumb all through its drag); without a pressed part the part under
// the pointer is hot; every other part is normal.
int ScrollPartState(ScrollPart part, ScrollPart hot, ScrollPart pressed);

}  // namespace pspkvx
