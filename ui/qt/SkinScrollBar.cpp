#include "ui/qt/SkinScrollBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/qt/SkinArt.h"
#include "ui/qt/SkinColour.h"
#include "ui/skin/ButtonStates.h"

namespace pspkvx {

SkinScrollBar::SkinScrollBar(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  connect(&repeat_, &QTimer::timeout, this, &SkinScrollBar::Repeat);
}

bool SkinScrollBar::Changed(bool changed) {
  if (changed) {
    update();
    emit PositionChanged(model_.Position());
  }
  return changed;
}

void SkinScrollBar::SetRange(int total, int visible) {
  const int before = model_.Position();
  model_.SetRange(total, visible);
  if (!model_.Active()) EndPress();
  update();
  Changed(model_.Position() != before);
}

bool SkinScrollBar::LineUp() {
  return Changed(model_.LineUp());
}

bool SkinScrollBar::LineDown() {
  return Changed(model_.LineDown());
}

bool SkinScrollBar::PageUp() {
  return Changed(model_.PageUp());
}

bool SkinScrollBar::PageDown() {
  return Changed(model_.PageDown());
}

bool SkinScrollBar::SetPosition(int position) {
  return Changed(model_.SetPosition(position));
}

ScrollBarGeometry SkinScrollBar::Geometry() const {
  return {height(), width(), 10};
}

int SkinScrollBar::PartState(ScrollPart part) const {
  return ScrollPartState(part, hot_, pressed_);
}

void SkinScrollBar::SetHot(ScrollPart hot) {
  if (hot == hot_) return;
  hot_ = hot;
  update();
}

bool SkinScrollBar::StepPressed() {
  switch (pressed_) {
    case ScrollPart::UpArrow:
      return LineUp();
    case ScrollPart::DownArrow:
      return LineDown();
    case ScrollPart::TrackAbove:
      return PageUp();
    case ScrollPart::TrackBelow:
      return PageDown();
    default:
      return false;
  }
}

void SkinScrollBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  if (!model_.Active()) return;  // taken, so that it does not reach the list below
  pointer_ = event->position().toPoint().y();
  const ScrollPart part = model_.HitTest(pointer_, Geometry());
  if (part == ScrollPart::None) return;
  pressed_ = part;
  hot_ = part;
  if (part == ScrollPart::Thumb) {
    dragOffset_ = pointer_ - model_.Layout(Geometry()).thumb.start;
  } else {
    StepPressed();
    repeat_.start(kRepeatDelayMs);
  }
  update();
}

void SkinScrollBar::Repeat() {
  repeat_.setInterval(kRepeatIntervalMs);
  // A held part steps only while the pointer is over it; the track's part changes under the
  // pointer once the thumb has reached it.
  if (model_.HitTest(pointer_, Geometry()) == pressed_) StepPressed();
}

void SkinScrollBar::mouseMoveEvent(QMouseEvent* event) {
  const int y = event->position().toPoint().y();
  const bool inside = rect().contains(event->position().toPoint());
  if (pressed_ == ScrollPart::Thumb) {
    pointer_ = y;
    SetPosition(model_.PositionForThumbStart(y - dragOffset_, Geometry()));
    return;
  }
  if (pressed_ != ScrollPart::None) {
    pointer_ = y;
    SetHot(inside ? model_.HitTest(y, Geometry()) : ScrollPart::None);
    return;
  }
  SetHot(inside && model_.Active() ? model_.HitTest(y, Geometry()) : ScrollPart::None);
}

void SkinScrollBar::EndPress() {
  repeat_.stop();
  if (pressed_ == ScrollPart::None) return;
  pressed_ = ScrollPart::None;
  update();
}

void SkinScrollBar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  EndPress();
  const QPoint at = event->position().toPoint();
  SetHot(rect().contains(at) && model_.Active() ? model_.HitTest(at.y(), Geometry())
                                                : ScrollPart::None);
}

void SkinScrollBar::leaveEvent(QEvent* event) {
  if (pressed_ == ScrollPart::None) SetHot(ScrollPart::None);
  QWidget::leaveEvent(event);
}

void SkinScrollBar::hideEvent(QHideEvent* event) {
  EndPress();
  SetHot(ScrollPart::None);
  QWidget::hideEvent(event);
}

void SkinScrollBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Paint(painter);
}

bool SkinScrollBar::PaintFromBitmaps(QPainter& painter, const ScrollBarLayout& layout) {
  const qreal ratio = devicePixelRatioF();
  const QPixmap* track = SkinBitmap(kScrollTrack, ratio);
  const auto face = [&](const std::array<int, 3>& ids, ScrollPart part) {
    return SkinBitmap(ids[static_cast<size_t>(std::clamp(PartState(part), 1, 3) - 1)], ratio);
  };
  const QPixmap* up = face(kScrollUpFaces, ScrollPart::UpArrow);
  const QPixmap* down = face(kScrollDownFaces, ScrollPart::DownArrow);
  const QPixmap* thumb = face(kScrollThumbFaces, ScrollPart::Thumb);
  if (!track || !up || !down || !thumb) return false;
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  DrawStretchedFace(painter, rect(), *track, 0);
  // An inactive bar shows its arrows faded: there is nothing to scroll.
  if (!model_.Active() || !isEnabled()) painter.setOpacity(0.5);
  painter.drawPixmap(QRect(0, layout.upArrow.start, width(), layout.upArrow.length), *up);
  painter.drawPixmap(QRect(0, layout.downArrow.start, width(), layout.downArrow.length), *down);
  painter.setOpacity(1);
  if (layout.thumb.length > 0)
    DrawStretchedFace(painter, QRect(0, layout.thumb.start, width(), layout.thumb.length), *thumb,
                      kScrollThumbCorner);
  return true;
}

void SkinScrollBar::Paint(QPainter& painter) {
  const ScrollBarLayout layout = model_.Layout(Geometry());
  if (PaintFromBitmaps(painter, layout)) return;
  const QColor face = SkinColour(kDialogFace);
  painter.fillRect(rect(), face.darker(104));
  painter.setRenderHint(QPainter::Antialiasing);

  const auto partColour = [&](ScrollPart part) {
    return SkinColour(LabelColour(PartState(part), model_.Active() && isEnabled()));
  };
  const auto arrow = [&](const ScrollSpan& span, ScrollPart part, bool up) {
    const QRectF box(0.5, span.start + 0.5, width() - 1.0, span.length - 1.0);
    painter.setPen(QPen(partColour(part), 1));
    painter.setBrush(PartState(part) == ButtonPressed ? face.darker(110) : face);
    painter.drawRoundedRect(box, 3, 3);
    const QPointF centre = box.center();
    const qreal half = std::min(box.width(), box.height()) * 0.25;
    QPainterPath triangle;
    const qreal tip = up ? -half : half;
    triangle.moveTo(centre.x(), centre.y() + tip * 0.8);
    triangle.lineTo(centre.x() - half, centre.y() - tip * 0.6);
    triangle.lineTo(centre.x() + half, centre.y() - tip * 0.6);
    triangle.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(partColour(part));
    painter.drawPath(triangle);
  };
  arrow(layout.upArrow, ScrollPart::UpArrow, true);
  arrow(layout.downArrow, ScrollPart::DownArrow, false);

  if (layout.thumb.length > 0) {
    const QRectF thumb(1.5, layout.thumb.start + 0.5, width() - 3.0, layout.thumb.length - 1.0);
    painter.setPen(QPen(partColour(ScrollPart::Thumb), 1));
    painter.setBrush(PartState(ScrollPart::Thumb) == ButtonNormal ? face : face.lighter(106));
    painter.drawRoundedRect(thumb, 3, 3);
  }
}

}  // namespace pspkvx
