#include "ui/ListModel.h"

namespace pspkvx {

void ListModel::SetRows(std::vector<ListRow> rows) {
  std::lock_guard<std::mutex> lock(mutex_);
  rows_ = std::move(rows);
  Changed();
}

void ListModel::AppendRow(ListRow row) {
  std::lock_guard<std::mutex> lock(mutex_);
  rows_.push_back(std::move(row));
  Changed();
}

size_t ListModel::RowCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return rows_.size();
}

std::vector<ListRow> ListModel::Rows() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return rows_;
}

std::optional<ListRow> ListModel::Row(size_t index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index >= rows_.size()) return std::nullopt;
  return rows_[index];
}

std::string ListModel::Text(size_t index, size_t column) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index >= rows_.size() || column >= rows_[index].columns.size()) return "";
  return rows_[index].columns[column];
}

void ListModel::SetEmptyText(std::string text) {
  std::lock_guard<std::mutex> lock(mutex_);
  emptyText_ = std::move(text);
  Changed();
}

std::string ListModel::EmptyText() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return emptyText_;
}

void ListModel::Select(size_t index, bool selected) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index >= rows_.size()) return;
  rows_[index].selected = selected;
  Changed();
}

void ListModel::SelectAll() {
  Edit([](std::vector<ListRow>& rows) {
    for (ListRow& row : rows)
      row.selected = true;
  });
}

void ListModel::ClearSelection() {
  Edit([](std::vector<ListRow>& rows) {
    for (ListRow& row : rows)
      row.selected = false;
  });
}

size_t ListModel::SelectedCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  size_t count = 0;
  for (const ListRow& row : rows_)
    count += row.selected ? 1 : 0;
  return count;
}

std::optional<size_t> ListModel::NextSelected(size_t from) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = from; i < rows_.size(); ++i)
    if (rows_[i].selected) return i;
  return std::nullopt;
}

void ListModel::Edit(const std::function<void(std::vector<ListRow>& rows)>& change) {
  std::lock_guard<std::mutex> lock(mutex_);
  change(rows_);
  Changed();
}

}  // namespace pspkvx
