// The saves page's online tree: a root "Online Database" whose levels (initials, games, saves
// with their files) are fetched from the service's tree documents when a node is opened. Every
// fetch runs on the tree's own worker, one at a time; a node asked for while it is waiting or
// being fetched is not asked for twice. The window thread never waits for the network.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "base/ManualResetEvent.h"
#include "base/MessageBox.h"
#include "online/HttpTransport.h"
#include "online/LineSettings.h"
#include "online/SavesTreeReader.h"
#include "online/ServiceSettings.h"
#include "ui/TreeModel.h"

namespace pspkvx {

inline constexpr char kTreeRootName[] = "Online Database";

class SavesTree {
 public:
  SavesTree(TreeModel& model, const ServiceEndpoints& endpoints, IMessageBoxHost& messages);
  // Stops a running fetch and waits for the worker.
  ~SavesTree();
  SavesTree(const SavesTree&) = delete;
  SavesTree& operator=(const SavesTree&) = delete;

  // Window thread. The root node appears (once), closed: nothing is fetched before the user
  // opens a node.
  void Show();
  // Queues the fetch of a node's level; false when it is already waiting or being fetched, or
  // the node is not a folder.
  bool Fetch(TreeNodeId node);
  // A node opened: its level is fetched when it has not been.
  void NodeExpanded(TreeNodeId node, bool expanded);
  // The context menu of a node: Refresh on a folder fetches its level again; any other command
  // says it is unknown.
  void MenuCommand(int command, TreeNodeId node);
  // Whether the node is a folder (its menu offers Refresh).
  bool IsFolder(TreeNodeId node) const;

  std::optional<SavesTreeItem> Item(TreeNodeId node) const;
  // What the transfer button downloads: the selected file's address, or the first file of the
  // selected save; empty when neither is selected.
  std::string SelectedDownloadAddress() const;
  bool Busy() const;
  // Waits until no fetch is waiting or running (tests, tools).
  void WaitUntilIdle() const;

  void SetTransferLimits(const TransferLimits& limits);

 private:
  void Run();
  void FetchLevel(TreeNodeId node);
  std::string AddressOf(TreeNodeId node);

  TreeModel& model_;
  const ServiceEndpoints& endpoints_;
  IMessageBoxHost& messages_;
  LineSettings settings_;  // the worker's

  mutable std::mutex mutex_;  // the items, the queue and the limits
  mutable std::condition_variable changed_;
  std::map<TreeNodeId, SavesTreeItem> items_;
  std::deque<TreeNodeId> queue_;
  std::optional<TreeNodeId> running_;
  std::optional<TreeNodeId> root_;
  TransferLimits limits_;
  unsigned counter_ = 0;
  ManualResetEvent stop_;
  bool ending_ = false;
  std::thread worker_;
};

}  // namespace pspkvx
