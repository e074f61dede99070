#include "ui/TreeModel.h"

#include <algorithm>

namespace pspkvx {

TreeModel::TreeModel() {
  entries_[kTreeRoot].expanded = true;
}

TreeNodeId TreeModel::AddLocked(TreeNodeId parent, TreeNode node) {
  const TreeNodeId id = nextId_++;
  Entry& entry = entries_[id];
  entry.node = std::move(node);
  entry.parent = parent;
  entries_.at(parent).children.push_back(id);
  return id;
}

std::optional<TreeNodeId> TreeModel::Add(TreeNodeId parent, TreeNode node) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!entries_.count(parent)) return std::nullopt;
  const TreeNodeId id = AddLocked(parent, std::move(node));
  Changed();
  return id;
}

std::vector<TreeNodeId> TreeModel::SetChildren(TreeNodeId parent, std::vector<TreeNode> children) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<TreeNodeId> ids;
  if (!entries_.count(parent)) return ids;
  const std::vector<TreeNodeId> earlier = entries_.at(parent).children;
  for (const TreeNodeId child : earlier)
    RemoveLocked(child);
  ids.reserve(children.size());
  for (TreeNode& child : children)
    ids.push_back(AddLocked(parent, std::move(child)));
  entries_.at(parent).filled = true;
  Changed();
  return ids;
}

void TreeModel::RemoveLocked(TreeNodeId id) {
  const auto found = entries_.find(id);
  if (found == entries_.end()) return;
  if (selected_ && IsBelow(*selected_, id)) selected_.reset();
  std::vector<TreeNodeId>& siblings = entries_.at(found->second.parent).children;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), id), siblings.end());
  // Everything below, without recursion: a deep tree from outside cannot exhaust the stack.
  std::vector<TreeNodeId> pending = {id};
  while (!pending.empty()) {
    const TreeNodeId next = pending.back();
    pending.pop_back();
    const auto entry = entries_.find(next);
    pending.insert(pending.end(), entry->second.children.begin(), entry->second.children.end());
    entries_.erase(entry);
  }
}

bool TreeModel::Remove(TreeNodeId id) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (id == kTreeRoot || !entries_.count(id)) return false;
  RemoveLocked(id);
  Changed();
  return true;
}

void TreeModel::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::vector<TreeNodeId> top = entries_.at(kTreeRoot).children;
  for (const TreeNodeId id : top)
    RemoveLocked(id);
  entries_.at(kTreeRoot).filled = false;
  selected_.reset();
  Changed();
}

bool TreeModel::IsBelow(TreeNodeId id, TreeNodeId ancestor) const {
  for (TreeNodeId at = id;; at = entries_.at(at).parent) {
    if (at == ancestor) return true;
    if (at == kTreeRoot) return false;
  }
}

int TreeModel::DepthLocked(TreeNodeId id) const {
  int depth = -1;
  for (TreeNodeId at = id; at != kTreeRoot; at = entries_.at(at).parent)
    ++depth;
  return depth;
}

TreeRow TreeModel::RowLocked(TreeNodeId id, int depth) const {
  const Entry& entry = entries_.at(id);
  TreeRow row;
  row.id = id;
  row.depth = depth;
  row.text = entry.node.text;
  row.value = entry.node.value;
  row.hasChildren = entry.node.hasChildren || !entry.children.empty();
  row.childrenFilled = entry.filled;
  row.expanded = entry.expanded;
  row.selected = selected_ == id;
  return row;
}

std::optional<TreeRow> TreeModel::Node(TreeNodeId id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (id == kTreeRoot || !entries_.count(id)) return std::nullopt;
  return RowLocked(id, DepthLocked(id));
}

std::optional<TreeNodeId> TreeModel::Parent(TreeNodeId id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (id == kTreeRoot || !entries_.count(id)) return std::nullopt;
  return entries_.at(id).parent;
}

std::vector<TreeNodeId> TreeModel::Children(TreeNodeId parent) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = entries_.find(parent);
  return found == entries_.end() ? std::vector<TreeNodeId>{} : found->second.children;
}

size_t TreeModel::NodeCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size() - 1;
}

bool TreeModel::NeedsChildren(TreeNodeId id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = entries_.find(id);
  return found != entries_.end() && found->second.node.hasChildren && !found->second.filled;
}

bool TreeModel::ExpandLocked(TreeNodeId id, std::optional<bool> expanded) {
  const auto found = entries_.find(id);
  if (id == kTreeRoot || found == entries_.end()) return false;
  const bool wanted = expanded.value_or(!found->second.expanded);
  if (found->second.expanded == wanted) return false;
  found->second.expanded = wanted;
  if (!wanted && selected_ && *selected_ != id && IsBelow(*selected_, id)) selected_ = id;
  Changed();
  return true;
}

bool TreeModel::SetExpanded(TreeNodeId id, bool expanded) {
  std::lock_guard<std::mutex> lock(mutex_);
  return ExpandLocked(id, expanded);
}

bool TreeModel::ToggleExpanded(TreeNodeId id) {
  std::lock_guard<std::mutex> lock(mutex_);
  return ExpandLocked(id, std::nullopt);
}

bool TreeModel::Select(TreeNodeId id) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (id == kTreeRoot || !entries_.count(id)) return false;
  if (selected_ != id) {
    selected_ = id;
    Changed();
  }
  return true;
}

void TreeModel::ClearSelection() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!selected_) return;
  selected_.reset();
  Changed();
}

std::optional<TreeNodeId> TreeModel::Selected() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return selected_;
}

std::vector<TreeRow> TreeModel::VisibleRows() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<TreeRow> rows;
  // Depth-first without recursion: (node, depth), children pushed in reverse.
  std::vector<std::pair<TreeNodeId, int>> pending;
  const std::vector<TreeNodeId>& top = entries_.at(kTreeRoot).children;
  for (auto it = top.rbegin(); it != top.rend(); ++it)
    pending.emplace_back(*it, 0);
  while (!pending.empty()) {
    const auto [id, depth] = pending.back();
    pending.pop_back();
    rows.push_back(RowLocked(id, depth));
    const Entry& entry = entries_.at(id);
    if (!entry.expanded) continue;
    for (auto it = entry.children.rbegin(); it != entry.children.rend(); ++it)
      pending.emplace_back(*it, depth + 1);
  }
  return rows;
}

}  // namespace pspkvx
