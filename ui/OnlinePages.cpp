#include "ui/OnlinePages.h"

#include <atomic>
#include <vector>

#include "base/FileRead.h"
#include "base/LittleEndian.h"
#include "base/StringFormat.h"
#include "base/StringTable.h"
#include "base/WindowMessages.h"
#include "saves/SaveBackup.h"
#include "saves/SaveInstall.h"
#include "ui/ControlIds.h"
#include "ui/ManagerDlg.h"
#include "ui/Pages.h"
#include "ui/SaveListRows.h"

namespace pspkvx {

OnlinePages::OnlinePages(CManagerDlg& window, TreeModel& treeRows) : window_(window) {
  browser_ = std::make_unique<OnlineBrowser>(
      window.Fetcher(), window.Endpoints(), window.List(IdOnlineLeft), pictures_, *this,
      [&window] { return std::atomic_ref<int32_t>(window.App().m_config.OnlineRegion).load(); });
  tree_ = std::make_unique<SavesTree>(treeRows, window.Endpoints(), window);
  engine_ = std::make_unique<DownloadEngine>(window, &window,
                                             [&window] { window.ServicePendingMessages(); });
}

// The tree and the engine end first: their workers report to the window.
OnlinePages::~OnlinePages() {
  engine_.reset();
  tree_.reset();
}

void OnlinePages::Register() {
  WindowOperations& ops = window_.Operations();
  ops.batch[PageOnline] = [this](uintptr_t, const ManualResetEvent& stop) {
    DownloadSelectedSave(stop);
  };
  ops.backgroundPasses.emplace_back(
      [this](const ManualResetEvent& stop) { return browser_->RunCycle(stop); });
  ops.onlineRowPressed = [this](int row) {
    if (row >= 0) browser_->ClickRow(static_cast<size_t>(row));
  };
  ops.onlineBack = [this] { browser_->Back(); };
  ops.onlineRefresh = [this] { browser_->Refresh(); };
  ops.pageEntered = [this](int page) {
    if (page == PageOnline) browser_->PageEntered();
    if (page == PageSaves) tree_->Show();
  };
  ops.treeDownload = [this] { DownloadTreeSave(); };
  ops.treeExpanded = [this](int64_t node, bool expanded) { tree_->NodeExpanded(node, expanded); };
  ops.treeMenuFor = [this](int64_t node) { return tree_->IsFolder(node); };
  ops.treeMenuCommand = [this](int command, int64_t node) { tree_->MenuCommand(command, node); };
  ops.installDownloadedSave = [this](intptr_t buffer) { InstallTransferred(buffer); };
  ops.backUpSaves = [this] { BackUpSelectedSaves(); };
  ops.installFromFile = [this] { InstallFromFiles(); };
}

void OnlinePages::SettingsLoaded() {
  noticePending_ = true;
}

SaveStick OnlinePages::Stick() {
  return SaveStick{window_.App().Platform(), window_.PspDrive(), window_.Stick(), window_};
}

void OnlinePages::SetTransferLimits(const TransferLimits& limits) {
  limits_ = limits;
  pictures_.SetTransferLimits(limits);
  tree_->SetTransferLimits(limits);
  engine_->SetTransferLimits(limits);
}

// ---- The online page's download ----

void OnlinePages::DownloadSelectedSave(const ManualResetEvent& stop) {
  const std::optional<OnlineSaveChoice> choice = browser_->SelectedSaveChoice();
  if (!choice) return;
  const SaveStick stick = Stick();
  DownloadSave(SaveDownloadContext{stick, window_.Fetcher(), *this, limits_}, choice, &stop);
}

// ---- The saves page's tree ----

void OnlinePages::DownloadTreeSave() {
  if (!window_.PspDrive().IsReady()) return;
  const std::string address = tree_->SelectedDownloadAddress();
  if (address.empty()) {
    ShowMessage(window_, StringOf(IDS_TREE_SELECT_SAVE));
    return;
  }
  if (engine_->Running()) return;
  if (!engine_->Start(address, PendingSave)) return;
  SetStatusText(StringOf(IDS_DOWNLOADING_SAVE));
}

void OnlinePages::InstallTransferred(intptr_t buffer) {
  // The message carries the engine's buffer by its address.
  auto* bytes =
      reinterpret_cast<std::vector<uint8_t>*>(buffer);  // NOLINT(performance-no-int-to-ptr)
  if (!bytes) return;
  const SaveStick stick = Stick();
  InstallDownloadedSave(stick, *this, *bytes);
}

// ---- Saves kept on the PC ----

void OnlinePages::BackUpSelectedSaves() {
  if (!window_.PspDrive().IsReady()) return;
  ListModel& saves = window_.List(IdPspSavesList);
  std::vector<std::string> folders;
  for (auto row = saves.NextSelected(0); row; row = saves.NextSelected(*row + 1))
    folders.push_back(saves.Text(*row, SaveColumnFolder));
  if (folders.empty()) {
    ShowMessage(window_, StringOf(IDS_BACKUP_SELECT_SAVES));
    return;
  }
  platform::Platform& platform = window_.App().Platform();
  const std::string start = backupFolder_.empty() ? platform.DocumentsFolder() : backupFolder_;
  const std::string folder = window_.View().ChooseFolder(start);
  if (folder.empty()) return;
  backupFolder_ = folder;
  int written = 0;
  for (const std::string& save : folders) {
    SaveBackupResult result = BackupSave(platform, window_.PspDrive(), save, folder, false);
    if (result.exists && AskYesNo(window_, StringOf(IDS_FILE_NAME_EXISTS) + "\n\n" + result.path))
      result = BackupSave(platform, window_.PspDrive(), save, folder, true);
    if (result.ok())
      ++written;
    else if (!result.exists)
      ShowMessage(window_, FormatString(IDS_BACKUP_FAILED, {result.error}));
  }
  if (written > 0) ShowMessage(window_, FormatString(IDS_BACKUP_DONE, {written, folder}));
}

void OnlinePages::InstallFromFiles() {
  if (!window_.PspDrive().IsReady()) return;
  const std::string start =
      backupFolder_.empty() ? window_.App().Platform().DocumentsFolder() : backupFolder_;
  const std::vector<std::string> files = window_.View().ChooseFiles(start);
  if (files.empty()) return;
  const SaveStick stick = Stick();
  for (const std::string& file : files) {
    WholeFile read = ReadWholeFile(file, kMaxSaveDownloadBytes);
    if (!read.ok()) {
      ShowMessage(window_, FormatString(IDS_INSTALL_FILE_UNREADABLE, {read.error}));
      continue;
    }
    PrependLe32Length(read.bytes);  // at most kMaxSaveDownloadBytes
    InstallSave(stick, read.bytes, true);
  }
  window_.PspDrive().RefreshFreeSpace();
  window_.RescanCurrentPage();
}

// ---- What the work shows ----

void OnlinePages::SetStatusText(const std::string& text) {
  // The newer-version notice comes once the page's loading texts are done, so that it is seen.
  const auto& notice = window_.Operations().versionNotice;
  if (text.empty() && noticePending_.exchange(false) && notice && notice()) return;
  window_.Status().Set(text);
  window_.SendWindowMessage(WM_STATUS_CHANGED, 0, 0);
}

void OnlinePages::Repaint() {
  window_.SendWindowMessage(WM_STATUS_CHANGED, 0, 0);
}

bool OnlinePages::OnOnlinePage() {
  return window_.CurrentPage() == PageOnline && !window_.Closing();
}

std::string OnlinePages::StatusText() const {
  return window_.StatusText();
}

void OnlinePages::EnableCancel(bool enabled) {
  window_.EnableCancel(enabled);
}

void OnlinePages::SetProgress(int percent) {
  window_.Progress() = percent;
  window_.SendWindowMessage(WM_STATUS_CHANGED, 0, 0);
}

}  // namespace pspkvx
