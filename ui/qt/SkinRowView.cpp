#include "ui/qt/SkinRowView.h"

#include <QResizeEvent>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "ui/qt/SkinScrollBar.h"

namespace pspkvx {
namespace {

constexpr int kWheelNotch = 120;  // QWheelEvent's units per notch

}  // namespace

SkinRowView::SkinRowView(QWidget* parent) : QWidget(parent), bar_(new SkinScrollBar(this)) {
  setFocusPolicy(Qt::StrongFocus);
  connect(bar_, &SkinScrollBar::PositionChanged, this, [this] { update(); });
  connect(&poll_, &QTimer::timeout, this, &SkinRowView::Refresh);
  poll_.start(kPollMs);
}

void SkinRowView::SetWheelStep(int lines) {
  wheelStep_ = std::max(lines, 1);
}

void SkinRowView::SetRowHeight(int height) {
  rowHeight_ = std::max(height, 0);
  UpdateRange();
  update();
}

int SkinRowView::RowHeight() const {
  return std::max(rowHeight_ > 0 ? rowHeight_ : AutomaticRowHeight(), 1);
}

int SkinRowView::AutomaticRowHeight() const {
  return fontMetrics().height() + 4;
}

int SkinRowView::TopRow() const {
  return bar_->Position();
}

void SkinRowView::Refresh() {
  const uint64_t revision = ModelRevision();
  if (loaded_ && revision == revision_) return;
  ForceReload();
}

void SkinRowView::ForceReload() {
  // The revision is read first: a change made during the copy is copied again next time.
  revision_ = ModelRevision();
  loaded_ = true;
  Reload();
  UpdateRange();
  update();
}

QRect SkinRowView::RowsArea() const {
  const int top = std::min(TopBand(), height());
  return {0, top, std::max(width() - kBarWidth, 0), height() - top};
}

int SkinRowView::VisibleRows() const {
  return RowsArea().height() / RowHeight();
}

QRect SkinRowView::RowRect(size_t row) const {
  const QRect area = RowsArea();
  const long long offset = (static_cast<long long>(row) - TopRow()) * RowHeight();
  const long long top = std::clamp<long long>(area.top() + offset, INT_MIN / 2, INT_MAX / 2);
  return {area.left(), static_cast<int>(top), area.width(), RowHeight()};
}

std::optional<size_t> SkinRowView::RowAt(QPoint point) const {
  const QRect area = RowsArea();
  if (!area.contains(point)) return std::nullopt;
  const size_t row =
      static_cast<size_t>(TopRow()) + static_cast<size_t>((point.y() - area.top()) / RowHeight());
  if (row >= LoadedRowCount()) return std::nullopt;
  return row;
}

void SkinRowView::ScrollTo(size_t row) {
  const int top = TopRow();
  const int shown = std::max(VisibleRows(), 1);
  const long long wanted = static_cast<long long>(row);
  if (wanted < top)
    bar_->SetPosition(static_cast<int>(wanted));
  else if (wanted >= top + shown)
    bar_->SetPosition(static_cast<int>(std::min<long long>(wanted - shown + 1, INT_MAX)));
}

void SkinRowView::UpdateRange() {
  const int total = static_cast<int>(std::min<size_t>(LoadedRowCount(), INT_MAX));
  const std::pair<int, int> range(total, VisibleRows());
  // Only a real change: setting the same range again would lower a position at the bottom.
  if (range == range_) return;
  range_ = range;
  bar_->SetRange(range.first, range.second);
}

void SkinRowView::resizeEvent(QResizeEvent* event) {
  bar_->setGeometry(width() - kBarWidth, 0, kBarWidth, height());
  UpdateRange();
  QWidget::resizeEvent(event);
}

void SkinRowView::wheelEvent(QWheelEvent* event) {
  event->accept();
  if (!bar_->IsActive()) {
    wheelRemainder_ = 0;
    return;
  }
  // Fine-grained wheels send parts of a notch; they add up to whole notches.
  wheelRemainder_ += event->angleDelta().y();
  const int notches = wheelRemainder_ / kWheelNotch;
  wheelRemainder_ %= kWheelNotch;
  const long long lines = static_cast<long long>(std::abs(notches)) * wheelStep_;
  for (long long i = 0; i < lines; ++i)
    if (!(notches > 0 ? bar_->LineUp() : bar_->LineDown())) break;
}

}  // namespace pspkvx
