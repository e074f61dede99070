// The online side of the main window: the online page's browser with its pictures and the
// download of the chosen save, and the saves page's online tree, its download and the keeping
// of saves on the PC (backing them up to files, installing one from a file). It registers its
// operations with the window's logic.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "base/ManualResetEvent.h"
#include "online/DownloadEngine.h"
#include "online/SaveDownload.h"
#include "online/ThumbnailCache.h"
#include "ui/OnlineBrowser.h"
#include "ui/SavesTree.h"
#include "ui/TreeModel.h"

namespace pspkvx {

class CManagerDlg;

class OnlinePages : public IOnlineBrowserHost, public ISaveDownloadHost {
 public:
  OnlinePages(CManagerDlg& window, TreeModel& treeRows);
  ~OnlinePages() override;
  OnlinePages(const OnlinePages&) = delete;
  OnlinePages& operator=(const OnlinePages&) = delete;

  // Registers the operations with the window; before the window starts its workers.
  void Register();

  OnlineBrowser& Browser() { return *browser_; }
  ThumbnailCache& Pictures() { return pictures_; }
  SavesTree& Tree() { return *tree_; }
  DownloadEngine& Engine() { return *engine_; }

  // The online page's batch: the chosen save downloaded and installed.
  void DownloadSelectedSave(const ManualResetEvent& stop);
  // The saves page's transfer: the tree's chosen save downloaded by the engine (its end installs
  // it, InstallTransferred).
  void DownloadTreeSave();
  void InstallTransferred(intptr_t buffer);
  // The chosen PSP saves written as save files into a folder the user picks.
  void BackUpSelectedSaves();
  // Save files the user picks installed on the stick.
  void InstallFromFiles();

  // IOnlineBrowserHost and ISaveDownloadHost: any thread.
  void SetStatusText(const std::string& text) override;
  void Repaint() override;
  bool OnOnlinePage() override;
  std::string StatusText() const override;
  void EnableCancel(bool enabled) override;
  void SetProgress(int percent) override;
  // The settings page has been read: the newer-version notice follows the loading texts.
  void SettingsLoaded() override;

  void SetTransferLimits(const TransferLimits& limits);

 private:
  SaveStick Stick();

  CManagerDlg& window_;
  TransferLimits limits_;
  ThumbnailCache pictures_;
  std::unique_ptr<OnlineBrowser> browser_;
  std::unique_ptr<SavesTree> tree_;
  std::unique_ptr<DownloadEngine> engine_;
  std::string backupFolder_;  // the folder the last backup went to
  std::atomic<bool> noticePending_{false};
};

}  // namespace pspkvx
