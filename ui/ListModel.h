// The rows behind one of the window's lists, GUI-free: text columns, an optional picture per
// row, a selected flag per row, and the line shown instead of rows when there are none. The
// core fills it (from any thread); the Qt list draws it and reports clicks back into it.
//
// The list lock: every member takes the model's mutex, so a row is never seen half-changed;
// Edit runs a change of several steps under it at once.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace pspkvx {

struct ListRow {
  std::vector<std::string> columns;
  std::string picturePath;  // a picture file the list loads for the row; empty: none
  bool selected = false;
  // A picture made for the row (an encoded image, PNG), drawn instead of the file's.
  std::shared_ptr<const std::string> pictureBytes = nullptr;
};

class ListModel {
 public:
  // Replaces every row (their selected flags as given).
  void SetRows(std::vector<ListRow> rows);
  void Clear() { SetRows({}); }
  void AppendRow(ListRow row);
  size_t RowCount() const;
  std::vector<ListRow> Rows() const;  // a copy, for painting
  std::optional<ListRow> Row(size_t index) const;
  // One column's text; empty for a row or column that is not there.
  std::string Text(size_t index, size_t column) const;

  // The line shown while there are no rows.
  void SetEmptyText(std::string text);
  std::string EmptyText() const;

  // Selection. Indices outside the list are ignored.
  void Select(size_t index, bool selected = true);
  void SelectAll();
  void ClearSelection();
  size_t SelectedCount() const;
  // The first selected row from index on.
  std::optional<size_t> NextSelected(size_t from = 0) const;

  // Several changes at once under the list lock.
  void Edit(const std::function<void(std::vector<ListRow>& rows)>& change);

  // Counts every change, so that a painter knows when to redraw.
  uint64_t Revision() const { return revision_.load(); }

 private:
  void Changed() { revision_.fetch_add(1); }

  mutable std::mutex mutex_;
  std::vector<ListRow> rows_;
  std::string emptyText_;
  std::atomic<uint64_t> revision_{0};
};

}  // namespace pspkvx
