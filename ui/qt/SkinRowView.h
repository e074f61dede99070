// What the skinned lists and the tree share: rows of one height below a top band (the list
// view's header), a SkinScrollBar along the right edge whose position is the first row shown,
// the wheel, and the model's revision, polled on a timer, so that a change a worker makes is
// drawn soon after. The rows are read from the model only on the window thread, as a copy.
#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <utility>

namespace pspkvx {

class SkinScrollBar;

class SkinRowView : public QWidget {
  Q_OBJECT
 public:
  explicit SkinRowView(QWidget* parent = nullptr);

  // Lines moved per wheel notch (at least 1). The wheel moves the rows only while the scroll bar
  // is active; a turn away from the user moves up.
  void SetWheelStep(int lines);
  int WheelStep() const { return wheelStep_; }
  // The row height in pixels; 0 takes it from the font (and the pictures, where there are).
  void SetRowHeight(int height);
  int RowHeight() const;

  // The first row shown: the scroll bar's position.
  int TopRow() const;
  SkinScrollBar* ScrollBar() const { return bar_; }
  // Copies the rows from the model again when it changed since the last copy.
  void Refresh();

  // The area the rows are drawn in: below the top band, left of the scroll bar.
  QRect RowsArea() const;
  // The rectangle of a row as it is scrolled now (possibly outside the widget).
  QRect RowRect(size_t row) const;
  // The row under a point; none outside the rows area or below the last row.
  std::optional<size_t> RowAt(QPoint point) const;
  // Scrolls as little as needed to show row whole.
  void ScrollTo(size_t row);
  // The number of whole rows the rows area shows.
  int VisibleRows() const;

  static constexpr int kPollMs = 100;
  static constexpr int kBarWidth = 16;

 protected:
  // The model's revision counter (any fixed value without a model).
  virtual uint64_t ModelRevision() const = 0;
  // Copies the rows from the model.
  virtual void Reload() = 0;
  virtual size_t LoadedRowCount() const = 0;
  // The height of the band above the rows.
  virtual int TopBand() const { return 0; }
  virtual int AutomaticRowHeight() const;
  // Copies the rows whatever the revision (after a new model).
  void ForceReload();
  // Sets the scroll bar's range from the rows and the size.
  void UpdateRange();

  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  SkinScrollBar* bar_;
  QTimer poll_;
  uint64_t revision_ = 0;
  bool loaded_ = false;
  int wheelStep_ = 3;
  int rowHeight_ = 0;
  int wheelRemainder_ = 0;
  std::pair<int, int> range_{-1, -1};
};

}  // namespace pspkvx
