// The rows behind a tree (the online saves tree), GUI-free: nodes with a text, an opaque value
// of the owner's (an address) and an expanded flag; one selected node. A node may be marked as
// having children before they are there, so that it shows an expand mark and its children can
// be filled in later (SetChildren), from any thread.
//
// Node ids are never reused, so an id kept from before a Clear or a refill names no node
// instead of a different one. The tree lock: every member takes the model's mutex; the Qt tree
// paints from VisibleRows, a copy.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace pspkvx {

using TreeNodeId = int64_t;
// The invisible root: the top-level nodes are its children.
inline constexpr TreeNodeId kTreeRoot = 0;

struct TreeNode {
  std::string text;
  std::string value;         // the owner's, for example the address the node's level is read from
  bool hasChildren = false;  // shows an expand mark even before children are filled in
};

// A node as the tree shows it.
struct TreeRow {
  TreeNodeId id = kTreeRoot;
  int depth = 0;  // 0 for a top-level node
  std::string text;
  std::string value;
  bool hasChildren = false;     // marked as having children, or having some
  bool childrenFilled = false;  // SetChildren was called for the node
  bool expanded = false;
  bool selected = false;
};

class TreeModel {
 public:
  TreeModel();

  // Adds a node as the last child of parent; none when parent is not there.
  std::optional<TreeNodeId> Add(TreeNodeId parent, TreeNode node);
  // Replaces parent's children (removing the earlier ones with everything below them) and marks
  // them filled; the new ids in order, empty when parent is not there.
  std::vector<TreeNodeId> SetChildren(TreeNodeId parent, std::vector<TreeNode> children);
  // Removes a node with everything below it; false for the root or a node that is not there.
  bool Remove(TreeNodeId id);
  void Clear();

  std::optional<TreeRow> Node(TreeNodeId id) const;
  std::optional<TreeNodeId> Parent(TreeNodeId id) const;
  std::vector<TreeNodeId> Children(TreeNodeId parent) const;
  size_t NodeCount() const;  // the root not counted
  // Whether the node is marked as having children that have not been filled in yet.
  bool NeedsChildren(TreeNodeId id) const;

  // Expanding. Collapsing a node that holds the selected node selects it instead, so the
  // selection never hides. False when nothing changed.
  bool SetExpanded(TreeNodeId id, bool expanded);
  bool ToggleExpanded(TreeNodeId id);

  // Selection: one node or none. False for a node that is not there.
  bool Select(TreeNodeId id);
  void ClearSelection();
  std::optional<TreeNodeId> Selected() const;

  // The nodes shown, top to bottom: every node whose ancestors are all expanded.
  std::vector<TreeRow> VisibleRows() const;

  // Counts every change, so that a painter knows when to redraw.
  uint64_t Revision() const { return revision_.load(); }

 private:
  struct Entry {
    TreeNode node;
    TreeNodeId parent = kTreeRoot;
    std::vector<TreeNodeId> children;
    bool expanded = false;
    bool filled = false;
  };

  TreeNodeId AddLocked(TreeNodeId parent, TreeNode node);
  void RemoveLocked(TreeNodeId id);
  // Sets the flag, or flips it without a value.
  bool ExpandLocked(TreeNodeId id, std::optional<bool> expanded);
  bool IsBelow(TreeNodeId id, TreeNodeId ancestor) const;
  TreeRow RowLocked(TreeNodeId id, int depth) const;
  int DepthLocked(TreeNodeId id) const;
  void Changed() { revision_.fetch_add(1); }

  mutable std::mutex mutex_;
  std::unordered_map<TreeNodeId, Entry> entries_;
  TreeNodeId nextId_ = kTreeRoot + 1;
  std::optional<TreeNodeId> selected_;
  std::atomic<uint64_t> revision_{0};
};

}  // namespace pspkvx
