#include "ui/qt/SkinList.h"

#include <QDropEvent>
#include <QImageReader>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <algorithm>

#include "ui/qt/SkinColour.h"

namespace pspkvx {
namespace {

constexpr int kMaxCachedPictures = 1000;
constexpr int kCellPadding = 4;

// The local files of a drag, in order.
std::vector<std::string> DroppedFiles(const QMimeData* data) {
  std::vector<std::string> files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
  return files;
}

}  // namespace

SkinList::SkinList(QWidget* parent) : SkinRowView(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SkinList::SetModel(std::shared_ptr<ListModel> model) {
  model_ = std::move(model);
  selection_.Reset();
  ForceReload();
}

void SkinList::SetModel(ListModel& model) {
  // Not owned: an empty owner with the model's address.
  SetModel(std::shared_ptr<ListModel>(std::shared_ptr<ListModel>(), &model));
}

void SkinList::SetColumnWidths(std::vector<int> widths) {
  for (int& width : widths)
    width = std::max(width, 0);
  widths_ = std::move(widths);
  update();
}

void SkinList::SetPictureSize(QSize size) {
  if (size == pictureSize_) return;
  pictureSize_ = size;
  pictures_.clear();
  made_.clear();
  UpdateRange();
  update();
}

void SkinList::SetColours(const ListColours& colours) {
  colours_ = colours;
  update();
}

void SkinList::SetRowLines(RowLines lines) {
  rowLines_ = std::move(lines);
  UpdateRange();
  update();
}

int SkinList::AutomaticRowHeight() const {
  const int text = SkinRowView::AutomaticRowHeight();
  if (rowLines_ && !rows_.empty()) {
    const int lines = static_cast<int>(rowLines_(rows_.front()).size());
    const int height = lines * fontMetrics().lineSpacing() + 8;
    return lines > 1 && !pictureSize_.isEmpty() ? std::max(height, pictureSize_.height() + 8)
                                                : std::max(height, text);
  }
  return pictureSize_.isEmpty() ? text : std::max(text, pictureSize_.height() + 4);
}

uint64_t SkinList::ModelRevision() const {
  return model_ ? model_->Revision() : 0;
}

void SkinList::Reload() {
  rows_ = model_ ? model_->Rows() : std::vector<ListRow>{};
  emptyText_ = model_ ? model_->EmptyText() : std::string();
  // A picture that was missing may have been written since (a thumbnail made by a worker).
  for (auto it = pictures_.begin(); it != pictures_.end();)
    it = it->isNull() ? pictures_.erase(it) : std::next(it);
  // Pictures of rows that are gone: only the cache still holds their bytes.
  std::erase_if(made_, [](const auto& entry) { return entry.second.first.use_count() == 1; });
}

void SkinList::SelectAll() {
  if (!model_) return;
  model_->SelectAll();
  Refresh();
}

void SkinList::ClearSelection() {
  if (!model_) return;
  model_->ClearSelection();
  Refresh();
}

size_t SkinList::SelectedCount() const {
  return model_ ? model_->SelectedCount() : 0;
}

std::optional<size_t> SkinList::NextSelected(size_t from) const {
  return model_ ? model_->NextSelected(from) : std::nullopt;
}

QPixmap SkinList::Picture(const std::string& path) {
  if (path.empty() || pictureSize_.isEmpty()) return {};
  const QString key = QString::fromStdString(path);
  const auto found = pictures_.constFind(key);
  if (found != pictures_.constEnd()) return *found;
  if (pictures_.size() >= kMaxCachedPictures) pictures_.clear();
  QImageReader reader(key);
  QPixmap picture;
  const QImage image = reader.read();
  if (!image.isNull())
    picture = QPixmap::fromImage(
        image.scaled(pictureSize_, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  pictures_.insert(key, picture);
  return picture;
}

QPixmap SkinList::MadePicture(const std::shared_ptr<const std::string>& bytes) {
  if (pictureSize_.isEmpty()) return {};
  const auto found = made_.find(bytes.get());
  if (found != made_.end()) return found->second.second;
  if (made_.size() >= kMaxCachedPictures) made_.clear();
  QImage image;
  image.loadFromData(reinterpret_cast<const uchar*>(bytes->data()),
                     static_cast<int>(bytes->size()));
  QPixmap picture;
  if (!image.isNull())
    picture = QPixmap::fromImage(
        image.scaled(pictureSize_, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  made_.emplace(bytes.get(), std::make_pair(bytes, picture));
  return picture;
}

void SkinList::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Paint(painter);
}

void SkinList::Paint(QPainter& painter) {
  PaintRows(painter, false);
}

void SkinList::PaintRows(QPainter& painter, bool pictureInFirstColumn) {
  const QRect area = RowsArea();
  const RowColours plain = ChooseRowColours(colours_, isEnabled(), false);
  painter.fillRect(area, SkinColour(plain.background));
  painter.save();
  painter.setClipRect(area);
  if (rows_.empty()) {
    painter.setPen(SkinColour(plain.text));
    painter.drawText(area.adjusted(kCellPadding, kCellPadding, -kCellPadding, -kCellPadding),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     QString::fromStdString(emptyText_));
    painter.restore();
    return;
  }
  const std::vector<int> widths = widths_.empty() ? std::vector<int>{area.width()} : widths_;
  const bool pictures = !pictureSize_.isEmpty();
  const QFontMetrics metrics = fontMetrics();
  for (size_t index = static_cast<size_t>(TopRow()); index < rows_.size(); ++index) {
    const QRect row = RowRect(index);
    if (row.top() >= area.bottom()) break;
    const ListRow& item = rows_[index];
    const RowColours colours = ChooseRowColours(colours_, isEnabled(), item.selected);
    painter.fillRect(row, SkinColour(colours.background));
    painter.setPen(SkinColour(colours.text));

    if (rowLines_) {
      PaintLines(painter, item, row);
      continue;
    }
    int x = row.left();
    const auto drawPicture = [&](int left) {
      const QPixmap picture =
          item.pictureBytes ? MadePicture(item.pictureBytes) : Picture(item.picturePath);
      if (picture.isNull()) return;
      const QRect box(left, row.top() + (row.height() - pictureSize_.height()) / 2,
                      pictureSize_.width(), pictureSize_.height());
      painter.drawPixmap(box.left() + (box.width() - picture.width()) / 2,
                         box.top() + (box.height() - picture.height()) / 2, picture);
    };
    if (pictures && !pictureInFirstColumn) {
      drawPicture(x + 2);
      x += pictureSize_.width() + kCellPadding;
    }
    bool first = true;
    for (size_t column = 0; column < widths.size(); ++column) {
      const int width = widths[column];
      if (width <= 0) continue;
      QRect cell(x, row.top(), width, row.height());
      x += width;
      if (first && pictures && pictureInFirstColumn) {
        drawPicture(cell.left() + 2);
        cell.setLeft(cell.left() + pictureSize_.width() + kCellPadding);
      }
      first = false;
      const int source = column < sources_.size() ? sources_[column] : static_cast<int>(column);
      if (source < 0 || static_cast<size_t>(source) >= item.columns.size()) continue;
      const QRect text = cell.adjusted(kCellPadding, 0, -kCellPadding, 0);
      painter.drawText(
          text, Qt::AlignLeft | Qt::AlignVCenter,
          metrics.elidedText(QString::fromStdString(item.columns[static_cast<size_t>(source)]),
                             Qt::ElideRight, std::max(text.width(), 0)));
    }
  }
  painter.restore();
}

void SkinList::PaintLines(QPainter& painter, const ListRow& item, const QRect& row) {
  const std::vector<std::string> lines = rowLines_(item);
  int x = row.left() + kCellPadding;
  if (lines.size() > 1 && !pictureSize_.isEmpty()) {
    const QPixmap picture =
        item.pictureBytes ? MadePicture(item.pictureBytes) : Picture(item.picturePath);
    const QRect box(x, row.top() + (row.height() - pictureSize_.height()) / 2, pictureSize_.width(),
                    pictureSize_.height());
    if (!picture.isNull())
      painter.drawPixmap(box.left() + (box.width() - picture.width()) / 2,
                         box.top() + (box.height() - picture.height()) / 2, picture);
    x += pictureSize_.width() + kCellPadding;
  }
  const QFont plain = font();
  QFont bold = plain;
  bold.setBold(true);
  const int spacing = QFontMetrics(plain).lineSpacing();
  const int width = std::max(row.right() - x - kCellPadding, 0);
  int y = row.top() + (row.height() - spacing * static_cast<int>(lines.size())) / 2;
  for (size_t i = 0; i < lines.size(); ++i, y += spacing) {
    painter.setFont(i == 0 ? bold : plain);
    const QFontMetrics metrics(painter.font());
    painter.drawText(QRect(x, y, width, spacing), Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(QString::fromStdString(lines[i]), Qt::ElideRight, width));
  }
  painter.setFont(plain);
}

void SkinList::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::XButton1 || event->button() == Qt::XButton2) {
    emit UpALevel();
    return;
  }
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  if (ownerSelects_) {
    const std::optional<size_t> row = RowAt(event->position().toPoint());
    emit RowPressed(row ? static_cast<int>(*row) : -1);
    Refresh();
    emit Pressed();
    return;
  }
  if (model_) {
    const Qt::KeyboardModifiers keys = event->modifiers();
    selection_.Click(*model_, RowAt(event->position().toPoint()),
                     keys.testFlag(Qt::ControlModifier), keys.testFlag(Qt::ShiftModifier));
    Refresh();
  }
  emit Pressed();
}

void SkinList::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  emit Released();
}

void SkinList::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    mousePressEvent(event);  // a quick second press of another button
    return;
  }
  const std::optional<size_t> row = RowAt(event->position().toPoint());
  emit DoubleClicked(row ? static_cast<int>(*row) : -1);
}

void SkinList::dragEnterEvent(QDragEnterEvent* event) {
  if (dropHandler_ && !DroppedFiles(event->mimeData()).empty())
    event->acceptProposedAction();
  else
    event->ignore();
}

void SkinList::dragMoveEvent(QDragMoveEvent* event) {
  if (dropHandler_ && event->mimeData() && event->mimeData()->hasUrls())
    event->acceptProposedAction();
  else
    event->ignore();
}

void SkinList::dropEvent(QDropEvent* event) {
  const std::vector<std::string> files = DroppedFiles(event->mimeData());
  // A copy: the handler may set another one.
  const DropHandler handler = dropHandler_;
  if (!handler || files.empty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  for (size_t i = 0; i < files.size(); ++i)
    handler(files[i], i + 1 < files.size());
  Refresh();
  update();
}

}  // namespace pspkvx
