#include "ui/qt/SkinListView.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/qt/SkinColour.h"
#include "ui/skin/ButtonStates.h"
#include "ui/skin/ColumnLayout.h"

namespace pspkvx {

SkinListView::SkinListView(QWidget* parent) : SkinList(parent) {
  setMouseTracking(true);
  SetPictureSize(QSize(80, 44));
}

void SkinListView::SetColumns(std::vector<std::string> names, std::vector<int> widths) {
  widths.resize(std::max(names.size(), widths.size()), 0);
  names.resize(widths.size());
  names_ = std::move(names);
  SetColumnWidths(std::move(widths));
}

int SkinListView::HeaderHeight() const {
  return fontMetrics().height() + 8;
}

void SkinListView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (at.y() >= HeaderHeight() || at.x() >= RowsArea().width()) {
    SkinList::mousePressEvent(event);
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  resizing_ = ColumnSeparatorAt(ColumnWidths(), at.x());
  if (!resizing_) return;
  resizeStartX_ = at.x();
  resizeStartWidth_ = ColumnWidths()[*resizing_];
}

void SkinListView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (resizing_) {
    std::vector<int> widths = ColumnWidths();
    if (*resizing_ >= widths.size()) return;
    const int width = DraggedColumnWidth(resizeStartWidth_, at.x() - resizeStartX_);
    if (width == widths[*resizing_]) return;
    widths[*resizing_] = width;
    SetColumnWidths(widths);
    emit ColumnResized(static_cast<int>(*resizing_), width);
    return;
  }
  const bool onSeparator =
      at.y() < HeaderHeight() && ColumnSeparatorAt(ColumnWidths(), at.x()).has_value();
  if (onSeparator)
    setCursor(Qt::SplitHCursor);
  else
    unsetCursor();
  SkinList::mouseMoveEvent(event);
}

void SkinListView::mouseReleaseEvent(QMouseEvent* event) {
  if (resizing_ && event->button() == Qt::LeftButton) {
    resizing_.reset();
    return;
  }
  SkinList::mouseReleaseEvent(event);
}

void SkinListView::Paint(QPainter& painter) {
  const QRect header(0, 0, RowsArea().width(), HeaderHeight());
  const QColor face = SkinColour(kDialogFace);
  painter.fillRect(header, face);
  painter.setPen(SkinColour(LabelColour(ButtonNormal, isEnabled())));
  const QFontMetrics metrics = fontMetrics();
  const std::vector<int> widths = ColumnWidths();
  int x = 0;
  for (size_t column = 0; column < widths.size(); ++column) {
    if (widths[column] <= 0) continue;
    const QRect cell(x, 0, widths[column], header.height());
    x += widths[column];
    const QString name = QString::fromStdString(column < names_.size() ? names_[column] : "");
    const QRect text = cell.adjusted(4, 0, -4, 0);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(name, Qt::ElideRight, std::max(text.width(), 0)));
    painter.drawLine(cell.right(), cell.top() + 3, cell.right(), cell.bottom() - 3);
  }
  painter.drawLine(header.bottomLeft(), header.bottomRight());
  PaintRows(painter, true);
}

}  // namespace pspkvx
