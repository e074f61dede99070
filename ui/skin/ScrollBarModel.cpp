#include "ui/skin/ScrollBarModel.h"

#include <algorithm>

#include "ui/skin/ButtonStates.h"

namespace pspkvx {

void ScrollBarModel::SetRange(int total, int visible) {
  total = std::max(total, 0);
  visible = std::max(visible, 0);
  if (total <= visible) {
    active_ = false;
    maximum_ = 0;
    page_ = visible;
    position_ = 0;
    return;
  }
  maximum_ = total - visible;
  page_ = visible;
  // Held to the last page: a list scrolled to its end stays there when rows come or go.
  position_ = std::clamp(position_, 0, maximum_);
  active_ = true;
}

bool ScrollBarModel::MoveTo(int position) {
  if (!active_ || position == position_) return false;
  position_ = position;
  return true;
}

bool ScrollBarModel::LineUp() {
  return position_ > 0 && MoveTo(position_ - 1);
}

bool ScrollBarModel::LineDown() {
  return position_ < maximum_ && MoveTo(position_ + 1);
}

bool ScrollBarModel::PageUp() {
  return MoveTo(std::max(position_ - page_, 0));
}

bool ScrollBarModel::PageDown() {
  // Compared before adding, so that a large page cannot overflow.
  return MoveTo(position_ > maximum_ - page_ ? maximum_ : position_ + page_);
}

bool ScrollBarModel::SetPosition(int position) {
  return MoveTo(std::clamp(position, 0, maximum_));
}

ScrollSpan ScrollBarModel::Thumb(int trackLength, int minThumbLength) const {
  trackLength = std::max(trackLength, 0);
  if (!active_ || trackLength == 0) return {0, 0};
  const long long whole = static_cast<long long>(maximum_) + page_;
  long long length = static_cast<long long>(trackLength) * page_ / whole;
  length = std::clamp<long long>(length, std::min(minThumbLength, trackLength), trackLength);
  const long long room = trackLength - length;
  return {static_cast<int>(room * position_ / maximum_), static_cast<int>(length)};
}

ScrollBarLayout ScrollBarModel::Layout(const ScrollBarGeometry& geometry) const {
  const int length = std::max(geometry.length, 0);
  // A bar shorter than two arrows shares its length between them.
  const int arrow = std::clamp(geometry.arrowLength, 0, length / 2);
  ScrollBarLayout layout;
  layout.upArrow = {0, arrow};
  layout.downArrow = {length - arrow, arrow};
  layout.track = {arrow, length - 2 * arrow};
  layout.thumb = Thumb(layout.track.length, geometry.minThumbLength);
  layout.thumb.start += layout.track.start;
  return layout;
}

ScrollPart ScrollBarModel::HitTest(int point, const ScrollBarGeometry& geometry) const {
  const ScrollBarLayout layout = Layout(geometry);
  if (layout.upArrow.Contains(point)) return ScrollPart::UpArrow;
  if (layout.downArrow.Contains(point)) return ScrollPart::DownArrow;
  if (!layout.track.Contains(point) || layout.thumb.length == 0) return ScrollPart::None;
  if (point < layout.thumb.start) return ScrollPart::TrackAbove;
  if (point >= layout.thumb.End()) return ScrollPart::TrackBelow;
  return ScrollPart::Thumb;
}

int ScrollBarModel::PositionForThumbStart(int thumbStart, const ScrollBarGeometry& geometry) const {
  const ScrollBarLayout layout = Layout(geometry);
  const int room = layout.track.length - layout.thumb.length;
  if (!active_ || room <= 0) return position_;
  const long long offset = std::clamp(thumbStart - layout.track.start, 0, room);
  // Rounded to the nearest position, so that a thumb put back where it was keeps its position.
  return static_cast<int>((offset * maximum_ + room / 2) / room);
}

int ScrollPartState(ScrollPart part, ScrollPart hot, ScrollPart pressed) {
  if (part == ScrollPart::None) return ButtonNormal;
  if (pressed != ScrollPart::None) {
    if (part != pressed) return ButtonNormal;
    return part == hot || part == ScrollPart::Thumb ? ButtonPressed : ButtonNormal;
  }
  return part == hot ? ButtonHot : ButtonNormal;
}

}  // namespace pspkvx
