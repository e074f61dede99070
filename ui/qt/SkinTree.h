// The skinned tree (the online saves tree; its creator names it "Online Tree"): a TreeModel's
// shown nodes indented by depth, an expand mark before each node that has (or will have)
// children, the selected node highlighted, its own SkinScrollBar. A click on a mark opens or
// closes the node; a click on a node selects it (NodePressed); a double click or Enter
// activates it (NodeActivated) and opens or closes it. The arrow keys move and open as in any
// tree. The owner fills in children that are still missing when NodeExpanded says a node opened.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "ui/TreeModel.h"
#include "ui/qt/SkinRowView.h"
#include "ui/skin/ListColours.h"

class QPainter;

namespace pspkvx {

class SkinTree : public SkinRowView {
  Q_OBJECT
 public:
  explicit SkinTree(QWidget* parent = nullptr);

  void SetModel(std::shared_ptr<TreeModel> model);
  // A model the owner keeps alive for as long as the tree uses it.
  void SetModel(TreeModel& model);
  TreeModel* Model() const { return model_.get(); }
  const std::vector<TreeRow>& ShownRows() const { return rows_; }
  void SetColours(const ListColours& colours);

  // The node of the row under a point; none off the rows.
  std::optional<TreeNodeId> NodeAt(QPoint point) const;
  // The expand mark's square of a shown row.
  QRect MarkRect(size_t row) const;

  static constexpr int kIndent = 16;
  static constexpr int kMarkSize = 9;

 signals:
  void NodePressed();
  void NodeActivated(qint64 node);
  void NodeExpanded(qint64 node, bool expanded);

 protected:
  // Draws the whole tree; the skin replaces this routine.
  virtual void Paint(QPainter& painter);

  uint64_t ModelRevision() const override;
  void Reload() override;
  size_t LoadedRowCount() const override { return rows_.size(); }

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Opens or closes a shown row's node.
  void Toggle(size_t row);
  void SelectShown(size_t row);
  std::optional<size_t> SelectedRow() const;

  std::shared_ptr<TreeModel> model_;
  std::vector<TreeRow> rows_;
  ListColours colours_;
};

}  // namespace pspkvx
