// The skinned item list (the file lists): a ListModel drawn as rows of text columns, the empty
// text while there are no rows, an optional small picture per row (the row's picture file,
// loaded when first drawn and kept; a missing file shows none), its own SkinScrollBar. Clicks
// select through ListSelection; files dropped on it go to the owner's drop handler.
//
// The owner keeps the model; workers may change it at any time. The list copies the rows on the
// window thread whenever the model's revision moves (polled, or at once through Refresh()).
#pragma once

#include <QHash>
#include <QPixmap>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/ListModel.h"
#include "ui/ListSelection.h"
#include "ui/qt/SkinRowView.h"
#include "ui/skin/ListColours.h"

class QPainter;

namespace pspkvx {

class SkinList : public SkinRowView {
  Q_OBJECT
 public:
  // One call per dropped file: its full path and whether more files of the drop follow.
  using DropHandler = std::function<void(const std::string& path, bool moreFollow)>;

  explicit SkinList(QWidget* parent = nullptr);

  void SetModel(std::shared_ptr<ListModel> model);
  // A model the owner keeps alive for as long as the list uses it.
  void SetModel(ListModel& model);
  ListModel* Model() const { return model_.get(); }
  // The rows as last copied from the model (what is drawn).
  const std::vector<ListRow>& ShownRows() const { return rows_; }

  // Column widths in pixels; a width of 0 hides its column. Without widths the first column
  // takes the whole row.
  void SetColumnWidths(std::vector<int> widths);
  std::vector<int> ColumnWidths() const { return widths_; }
  // Which of a row's texts each shown column draws (-1: none, a key column); without sources
  // column k draws text k.
  void SetColumnSources(std::vector<int> sources) { sources_ = std::move(sources); }
  // The size pictures are drawn in (scaled, keeping their shape); an empty size draws none.
  void SetPictureSize(QSize size);
  QSize PictureSize() const { return pictureSize_; }
  void SetColours(const ListColours& colours);
  ListColours Colours() const { return colours_; }

  // Rows drawn as lines of text beside the picture (the first line bold) instead of columns;
  // the row height follows the first row's line count.
  using RowLines = std::function<std::vector<std::string>(const ListRow&)>;
  void SetRowLines(RowLines lines);
  // The owner chooses the rows itself: a press only reports the row (RowPressed).
  void SetOwnerSelects(bool ownerSelects) { ownerSelects_ = ownerSelects; }

  void SetDropHandler(DropHandler handler) { dropHandler_ = std::move(handler); }
  void SetDropEnabled(bool enabled) { setAcceptDrops(enabled); }
  bool DropEnabled() const { return acceptDrops(); }

  // Selection through the model.
  void SelectAll();
  void ClearSelection();
  size_t SelectedCount() const;
  std::optional<size_t> NextSelected(size_t from = 0) const;

 signals:
  void DoubleClicked(int row);  // -1: not on a row
  void UpALevel();              // either extra mouse button
  void RowPressed(int row);     // the left button on a row (-1: not on a row)
  void Pressed();               // the left button, after the selection has changed
  void Released();

 protected:
  // Draws the whole list; the skin replaces this routine.
  virtual void Paint(QPainter& painter);
  // The rows (or the empty text) in the rows area; the picture before the first column, or
  // inside the first column shown.
  void PaintRows(QPainter& painter, bool pictureInFirstColumn);
  // A row as lines of text (SetRowLines).
  void PaintLines(QPainter& painter, const ListRow& item, const QRect& row);
  // The row's picture at the picture size; null when there is none or it cannot be read.
  QPixmap Picture(const std::string& path);
  // A picture the owner made for a row (encoded bytes), kept while the row shows it.
  QPixmap MadePicture(const std::shared_ptr<const std::string>& bytes);

  uint64_t ModelRevision() const override;
  void Reload() override;
  size_t LoadedRowCount() const override { return rows_.size(); }
  int AutomaticRowHeight() const override;

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  std::shared_ptr<ListModel> model_;
  std::vector<ListRow> rows_;
  std::string emptyText_;
  std::vector<int> widths_;
  std::vector<int> sources_;
  QSize pictureSize_;
  ListColours colours_;
  ListSelection selection_;
  DropHandler dropHandler_;
  RowLines rowLines_;
  bool ownerSelects_ = false;
  QHash<QString, QPixmap> pictures_;  // by path; a null pixmap: the file could not be read
  // Pictures made for rows, by their bytes, which the cache keeps so that no other bytes come
  // to lie at the same address.
  std::map<const std::string*, std::pair<std::shared_ptr<const std::string>, QPixmap>> made_;
};

}  // namespace pspkvx
