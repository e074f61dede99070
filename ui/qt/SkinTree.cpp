#include "ui/qt/SkinTree.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/qt/SkinColour.h"

namespace pspkvx {

SkinTree::SkinTree(QWidget* parent) : SkinRowView(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SkinTree::SetModel(std::shared_ptr<TreeModel> model) {
  model_ = std::move(model);
  ForceReload();
}

void SkinTree::SetModel(TreeModel& model) {
  // Not owned: an empty owner with the model's address.
  SetModel(std::shared_ptr<TreeModel>(std::shared_ptr<TreeModel>(), &model));
}

void SkinTree::SetColours(const ListColours& colours) {
  colours_ = colours;
  update();
}

uint64_t SkinTree::ModelRevision() const {
  return model_ ? model_->Revision() : 0;
}

void SkinTree::Reload() {
  rows_ = model_ ? model_->VisibleRows() : std::vector<TreeRow>{};
}

QRect SkinTree::MarkRect(size_t row) const {
  const QRect line = RowRect(row);
  const int depth = row < rows_.size() ? rows_[row].depth : 0;
  return {line.left() + 4 + depth * kIndent, line.top() + (line.height() - kMarkSize) / 2,
          kMarkSize, kMarkSize};
}

void SkinTree::Toggle(size_t row) {
  if (!model_ || row >= rows_.size() || !rows_[row].hasChildren) return;
  // Kept before the rows are copied again.
  const TreeNodeId id = rows_[row].id;
  const bool expanded = !rows_[row].expanded;
  if (!model_->SetExpanded(id, expanded)) return;
  Refresh();
  emit NodeExpanded(id, expanded);
}

void SkinTree::SelectShown(size_t row) {
  if (!model_ || row >= rows_.size()) return;
  model_->Select(rows_[row].id);
  Refresh();
  ScrollTo(row);
  emit NodePressed();
}

std::optional<size_t> SkinTree::SelectedRow() const {
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].selected) return i;
  return std::nullopt;
}

std::optional<TreeNodeId> SkinTree::NodeAt(QPoint point) const {
  const std::optional<size_t> row = RowAt(point);
  if (!row || *row >= rows_.size()) return std::nullopt;
  return rows_[*row].id;
}

void SkinTree::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  const QPoint at = event->position().toPoint();
  const std::optional<size_t> row = RowAt(at);
  if (!row) return;
  // The mark's square with a little room around it.
  if (rows_[*row].hasChildren && MarkRect(*row).adjusted(-3, -3, 3, 3).contains(at)) {
    Toggle(*row);
    return;
  }
  SelectShown(*row);
}

void SkinTree::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  const std::optional<size_t> row = RowAt(at);
  if (!row || MarkRect(*row).adjusted(-3, -3, 3, 3).contains(at)) {
    mousePressEvent(event);  // a quick second click on a mark opens or closes again
    return;
  }
  const TreeNodeId id = rows_[*row].id;
  Toggle(*row);
  emit NodeActivated(id);
}

void SkinTree::keyPressEvent(QKeyEvent* event) {
  const std::optional<size_t> current = SelectedRow();
  switch (event->key()) {
    case Qt::Key_Up:
      if (current && *current > 0) SelectShown(*current - 1);
      if (!current && !rows_.empty()) SelectShown(0);
      return;
    case Qt::Key_Down:
      if (current && *current + 1 < rows_.size()) SelectShown(*current + 1);
      if (!current && !rows_.empty()) SelectShown(0);
      return;
    case Qt::Key_Right:
      if (current && rows_[*current].hasChildren && !rows_[*current].expanded) Toggle(*current);
      return;
    case Qt::Key_Left:
      if (!current) return;
      if (rows_[*current].expanded) {
        Toggle(*current);
      } else {
        // To the parent: the nearest row above with a smaller depth.
        for (size_t i = *current; i-- > 0;)
          if (rows_[i].depth < rows_[*current].depth) {
            SelectShown(i);
            break;
          }
      }
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (current) {
        const TreeNodeId id = rows_[*current].id;
        Toggle(*current);
        emit NodeActivated(id);
      }
      return;
    default:
      SkinRowView::keyPressEvent(event);
  }
}

void SkinTree::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Paint(painter);
}

void SkinTree::Paint(QPainter& painter) {
  const QRect area = RowsArea();
  const RowColours plain = ChooseRowColours(colours_, isEnabled(), false);
  painter.fillRect(area, SkinColour(plain.background));
  painter.setClipRect(area);
  const QFontMetrics metrics = fontMetrics();
  for (size_t index = static_cast<size_t>(TopRow()); index < rows_.size(); ++index) {
    const QRect line = RowRect(index);
    if (line.top() >= area.bottom()) break;
    const TreeRow& row = rows_[index];
    const RowColours colours = ChooseRowColours(colours_, isEnabled(), row.selected);
    const QRect mark = MarkRect(index);
    const QRect text(mark.right() + 6, line.top(), std::max(line.right() - mark.right() - 8, 0),
                     line.height());
    if (row.selected) painter.fillRect(text.adjusted(-2, 0, 0, 0), SkinColour(colours.background));
    if (row.hasChildren) {
      painter.setPen(SkinColour(plain.text));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(mark.adjusted(0, 0, -1, -1));
      const int middle = mark.top() + kMarkSize / 2;
      const int centre = mark.left() + kMarkSize / 2;
      painter.drawLine(mark.left() + 2, middle, mark.right() - 2, middle);
      if (!row.expanded) painter.drawLine(centre, mark.top() + 2, centre, mark.bottom() - 2);
    }
    painter.setPen(SkinColour(colours.text));
    painter.drawText(
        text, Qt::AlignLeft | Qt::AlignVCenter,
        metrics.elidedText(QString::fromStdString(row.text), Qt::ElideRight, text.width()));
  }
}

}  // namespace pspkvx
