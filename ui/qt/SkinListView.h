// The skinned report-style list (the saves lists): a SkinList with column headers whose
// separators the user drags to resize the columns, the row's picture as an icon in the first
// column shown, and the eight row colours (ListColours). ColumnWidths() gives the widths as the
// user left them, for the window to keep in the configuration.
#pragma once

#include <string>
#include <vector>

#include "ui/qt/SkinList.h"

namespace pspkvx {

class SkinListView : public SkinList {
  Q_OBJECT
 public:
  explicit SkinListView(QWidget* parent = nullptr);

  // The headers and their widths; a name without a width gets width 0 (hidden).
  void SetColumns(std::vector<std::string> names, std::vector<int> widths);
  std::vector<std::string> ColumnNames() const { return names_; }
  // The icon size (the pictures, scaled to fit; 80x44 by default).
  void SetIconSize(QSize size) { SetPictureSize(size); }
  int HeaderHeight() const;

 signals:
  void ColumnResized(int column, int width);

 protected:
  void Paint(QPainter& painter) override;
  int TopBand() const override { return HeaderHeight(); }

  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::vector<std::string> names_;
  std::optional<size_t> resizing_;
  int resizeStartX_ = 0;
  int resizeStartWidth_ = 0;
};

}  // namespace pspkvx
