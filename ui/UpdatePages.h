// The main window's updating: the update check (the update dialog, then the updater started
// and the window closed), the writing of a downloaded release's updater once its signature and
// its container check out, and the status line's newer-version notice. It registers its
// operations with the window's logic.
#pragma once

#include <cstdint>
#include <memory>

#include "online/DownloadEngine.h"
#include "online/HttpTransport.h"
#include "update/UpgradeSignature.h"

namespace pspkvx {

class CManagerDlg;
class CUpdateCheckDlg;

class UpdatePages {
 public:
  UpdatePages(CManagerDlg& window, DownloadEngine& engine);
  UpdatePages(const UpdatePages&) = delete;
  UpdatePages& operator=(const UpdatePages&) = delete;

  void Register();

  // The update dialog; when it downloaded a release, the updater is started. True when it
  // started (the window then exits).
  bool RunUpdateCheck();
  // WM_TRANSFER_DONE of the release: its signature, then its container checked and the updater
  // written into the program folder. False (with the message that says why) refuses it.
  bool WriteUpgrade(intptr_t buffer);
  // 1 when the updater was started, -1 otherwise.
  int LaunchUpgrade();
  // "Version %2.2f of this software is available..." in the status line for 100 ticks, when
  // the settings name a release newer than this program. Any thread.
  // True when it was shown.
  bool ShowVersionNotice();

  void SetTransferLimits(const TransferLimits& limits) { limits_ = limits; }
  // The key releases are checked against (the built-in one unless a test names another).
  void SetPublicKey(const UpgradePublicKey& key) { key_ = key; }

 private:
  std::string UpgradePath() const;

  CManagerDlg& window_;
  DownloadEngine& engine_;
  TransferLimits limits_;
  UpgradePublicKey key_;
  CUpdateCheckDlg* dialog_ = nullptr;  // while the update dialog runs (window thread)
};

}  // namespace pspkvx
