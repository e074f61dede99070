// The skinned vertical scroll bar over ScrollBarModel: arrows that step a line and repeat while
// held, track presses that step a page (repeating while held until the thumb reaches the
// pointer), a draggable thumb, and hover faces per part, drawn from the skin's bitmaps.
// PositionChanged is sent for every change of the position, whoever made it.
#pragma once

#include <QTimer>
#include <QWidget>

#include "ui/skin/ScrollBarModel.h"

class QPainter;

namespace pspkvx {

class SkinScrollBar : public QWidget {
  Q_OBJECT
 public:
  explicit SkinScrollBar(QWidget* parent = nullptr);

  // See ScrollBarModel: total <= visible makes the bar inactive.
  void SetRange(int total, int visible);
  bool LineUp();
  bool LineDown();
  bool PageUp();
  bool PageDown();
  bool SetPosition(int position);

  int Position() const { return model_.Position(); }
  int Maximum() const { return model_.Maximum(); }
  int PageSize() const { return model_.Page(); }
  bool IsActive() const { return model_.Active(); }

  // The bar's measures: square arrows as wide as the bar.
  ScrollBarGeometry Geometry() const;
  // The face state (1..3) of the up arrow, the down arrow or the thumb.
  int PartState(ScrollPart part) const;

  QSize sizeHint() const override { return {16, 100}; }

  // Timing of a held arrow or track: the first repeat, then every further one.
  static constexpr int kRepeatDelayMs = 400;
  static constexpr int kRepeatIntervalMs = 50;

 signals:
  void PositionChanged(int position);

 protected:
  // Draws the whole bar: from the skin's bitmaps, or plainly when the skin has none.
  virtual void Paint(QPainter& painter);
  bool PaintFromBitmaps(QPainter& painter, const ScrollBarLayout& layout);

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // Runs one step of the pressed part; false when it was refused.
  bool StepPressed();
  bool Changed(bool changed);
  void Repeat();
  void EndPress();
  void SetHot(ScrollPart hot);

  ScrollBarModel model_;
  ScrollPart hot_ = ScrollPart::None;
  ScrollPart pressed_ = ScrollPart::None;
  int dragOffset_ = 0;  // the press's distance from the thumb's start
  int pointer_ = 0;     // the pointer's last place along the bar while pressed
  QTimer repeat_;
};

}  // namespace pspkvx
