#include "ui/SavesTree.h"

#include <algorithm>

#include "base/Numbers.h"
#include "base/StringFormat.h"
#include "base/StringTable.h"
#include "online/OnlineRows.h"
#include "ui/ControlIds.h"

namespace pspkvx {
namespace {

std::string NodeText(const SavesTreeItem& item) {
  if (item.kind == TreeFile && item.size > 0)
    return item.name + "  (" + SaveSizeText(item.size) + ")";
  if (item.kind == TreeSave && !item.placeholder && !item.fileSize.empty())
    return item.name + "  (" + SaveSizeText(ScanInteger(item.fileSize)) + ")";
  return item.name.empty() ? std::string("??") : item.name;
}

TreeNode NodeOf(const SavesTreeItem& item) {
  return TreeNode{NodeText(item), item.address,
                  item.kind == TreeFolder || (item.kind == TreeSave && !item.files.empty())};
}

}  // namespace

SavesTree::SavesTree(TreeModel& model, const ServiceEndpoints& endpoints, IMessageBoxHost& messages)
    : model_(model), endpoints_(endpoints), messages_(messages), worker_([this] { Run(); }) {}

SavesTree::~SavesTree() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
    stop_.Set();
  }
  changed_.notify_all();
  worker_.join();
}

void SavesTree::Show() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (root_) return;
  const std::optional<TreeNodeId> added = model_.Add(kTreeRoot, TreeNode{kTreeRootName, "", true});
  if (!added) return;
  root_ = *added;
  SavesTreeItem item;
  item.kind = TreeFolder;
  item.name = kTreeRootName;
  items_[*added] = item;
}

bool SavesTree::Fetch(TreeNodeId node) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto item = items_.find(node);
    if (item == items_.end() || item->second.kind != TreeFolder) return false;
    if (running_ == node || std::find(queue_.begin(), queue_.end(), node) != queue_.end())
      return false;
    queue_.push_back(node);
  }
  changed_.notify_all();
  return true;
}

void SavesTree::NodeExpanded(TreeNodeId node, bool expanded) {
  if (expanded && model_.NeedsChildren(node)) Fetch(node);
}

void SavesTree::MenuCommand(int command, TreeNodeId node) {
  if (command == MenuTreeRefresh) {
    Fetch(node);
    return;
  }
  ShowMessage(messages_, StringOf(IDS_UNKNOWN_MENU_COMMAND));
}

bool SavesTree::IsFolder(TreeNodeId node) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto item = items_.find(node);
  return item != items_.end() && item->second.kind == TreeFolder;
}

std::optional<SavesTreeItem> SavesTree::Item(TreeNodeId node) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto item = items_.find(node);
  if (item == items_.end()) return std::nullopt;
  return item->second;
}

std::string SavesTree::SelectedDownloadAddress() const {
  const std::optional<TreeNodeId> selected = model_.Selected();
  if (!selected) return {};
  const std::optional<SavesTreeItem> item = Item(*selected);
  if (!item || item->placeholder) return {};
  if (item->kind == TreeFile) return item->address;
  if (item->kind == TreeSave)
    for (const SavesTreeItem& file : item->files)
      if (!file.address.empty()) return file.address;
  return {};
}

bool SavesTree::Busy() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return running_.has_value() || !queue_.empty();
}

void SavesTree::WaitUntilIdle() const {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return ending_ || (!running_ && queue_.empty()); });
}

void SavesTree::SetTransferLimits(const TransferLimits& limits) {
  std::lock_guard<std::mutex> lock(mutex_);
  limits_ = limits;
  settings_.SetTransferLimits(limits);
}

void SavesTree::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return ending_ || !queue_.empty(); });
    if (ending_) return;
    running_ = queue_.front();
    queue_.pop_front();
    const TreeNodeId node = *running_;
    lock.unlock();
    FetchLevel(node);
    lock.lock();
    running_.reset();
    changed_.notify_all();
  }
}

std::string SavesTree::AddressOf(TreeNodeId node) {
  std::string address;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    address = items_[node].address;
    if (!address.empty() || root_ != node) return address;
  }
  // The root's address is the settings page's SAVES_URL, read once it is needed.
  address = settings_.SavesUrlOrLoad(endpoints_.settingsPageAddress, &messages_);
  std::lock_guard<std::mutex> lock(mutex_);
  items_[node].address = address;
  return address;
}

void SavesTree::FetchLevel(TreeNodeId node) {
  const std::string address = AddressOf(node);
  if (address.empty() || stop_.IsSet()) return;
  HttpGetOptions options;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    options.limits = limits_;
    options.maxBytes = limits_.maxReplyBytes;
  }
  options.stop = &stop_;
  const HttpResult reply = HttpGet(address + "&random=" + std::to_string(++counter_), options);
  if (reply.outcome == HttpOutcome::Stopped) return;
  if (reply.outcome != HttpOutcome::Ok) {
    ShowMessage(messages_, StringOf(IDS_NO_INTERNET_CONNECTION));
    return;
  }
  const SavesTreeDocument document =
      reply.httpStatus >= 400 ? SavesTreeDocument{{}, "HTTP " + std::to_string(reply.httpStatus)}
                              : ReadSavesTree(reply.body);
  if (!document.ok()) {
    ShowMessage(messages_, FormatString(IDS_TREE_NOT_READABLE, {address + ": " + document.error}));
    return;
  }
  std::vector<TreeNode> nodes;
  for (const SavesTreeItem& item : document.items)
    nodes.push_back(NodeOf(item));
  const std::vector<TreeNodeId> ids = model_.SetChildren(node, std::move(nodes));
  std::lock_guard<std::mutex> lock(mutex_);
  // The items of the nodes the new level replaced.
  std::erase_if(items_, [this](const auto& entry) { return !model_.Node(entry.first); });
  for (size_t i = 0; i < ids.size() && i < document.items.size(); ++i) {
    const SavesTreeItem& item = document.items[i];
    items_[ids[i]] = item;
    if (item.kind != TreeSave || item.files.empty()) continue;
    std::vector<TreeNode> files;
    for (const SavesTreeItem& file : item.files)
      files.push_back(NodeOf(file));
    const std::vector<TreeNodeId> fileIds = model_.SetChildren(ids[i], std::move(files));
    for (size_t f = 0; f < fileIds.size() && f < item.files.size(); ++f)
      items_[fileIds[f]] = item.files[f];
  }
}

}  // namespace pspkvx
