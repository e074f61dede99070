#include "ui/UpdatePages.h"

#include <span>
#include <vector>

#include "base/LittleEndian.h"
#include "base/ProgramEnvironment.h"
#include "base/StringFormat.h"
#include "base/StringTable.h"
#include "base/WindowMessages.h"
#include "platform/ChildProcess.h"
#include "platform/Platform.h"
#include "ui/ManagerDlg.h"
#include "ui/UpdateCheckDlg.h"
#include "update/LatestVersion.h"
#include "update/UpgradeFile.h"

namespace pspkvx {
namespace {

constexpr int kNoticeTicks = 100;

}  // namespace

UpdatePages::UpdatePages(CManagerDlg& window, DownloadEngine& engine)
    : window_(window), engine_(engine), key_(BuiltInUpgradeKey()) {}

void UpdatePages::Register() {
  WindowOperations& ops = window_.Operations();
  ops.updateCheck = [this] { return RunUpdateCheck(); };
  ops.writeUpgrade = [this](intptr_t buffer) { return WriteUpgrade(buffer); };
  ops.versionNotice = [this] { return ShowVersionNotice(); };
}

std::string UpdatePages::UpgradePath() const {
  return platform::JoinPath(window_.App().m_szProgramFolder, kUpgradeProgramName);
}

bool UpdatePages::RunUpdateCheck() {
  auto dialog = std::make_unique<CUpdateCheckDlg>(
      UpdateCheckContext{ReleaseLookup{window_.Tags(), window_.Fetcher(), window_.Endpoints()},
                         engine_, window_, ProgramVersion(), window_.Endpoints().supportAddress,
                         limits_, [this] { window_.ServicePendingMessages(); }});
  dialog_ = dialog.get();
  window_.View().RunUpdateDialog(*dialog);
  const int downloaded = dialog->Outcome();
  // A release that arrives while the dialog's worker ends is refused: nobody asked for it now.
  dialog_ = nullptr;
  dialog.reset();
  if (downloaded != 1) {
    engine_.Reset();
    return false;
  }
  return LaunchUpgrade() == 1;
}

bool UpdatePages::WriteUpgrade(intptr_t buffer) {
  // The message carries the engine's buffer by its address.
  const auto* bytes =
      reinterpret_cast<const std::vector<uint8_t>*>(buffer);  // NOLINT(performance-no-int-to-ptr)
  if (bytes == nullptr || dialog_ == nullptr) return false;
  const std::span<const uint8_t> whole(*bytes);
  const size_t length = whole.size() >= 4 ? ReadLe32(whole.data()) : 0;
  const std::span<const uint8_t> container =
      whole.size() >= 4 && length <= whole.size() - 4 ? whole.subspan(4, length) : whole.first(0);
  // Nothing of the release is written before its signature checks against the built-in key.
  switch (CheckUpgradeSignature(container, dialog_->Signature(), key_)) {
    case SignatureCheck::Valid:
      break;
    case SignatureCheck::Missing:
      ShowMessage(window_, StringOf(IDS_UPGRADE_NOT_SIGNED));
      return false;
    case SignatureCheck::Wrong:
      ShowMessage(window_, StringOf(IDS_UPGRADE_BAD_SIGNATURE));
      return false;
  }
  const std::string path = UpgradePath();
  const int result = WriteUpgradeFile(whole, path);
  if (result == UpgradeWritten) return true;
  std::string message = StringOf(UpgradeWriteMessage(result));
  if (result == UpgradeCannotCreate) message += "\r\n" + path;
  ShowMessage(window_, message);
  return false;
}

int UpdatePages::LaunchUpgrade() {
  if (engine_.State() != DownloadComplete) return -1;
  engine_.Reset();
  const std::string& folder = window_.App().m_szProgramFolder;
  if (platform::StartDetachedProgram(UpgradePath(), {}, folder)) return 1;
  // The window stays open; the user learns where to get the new version instead.
  ShowMessage(window_, StringOf(IDS_UPGRADE_FAILED) + window_.Endpoints().supportAddress);
  return -1;
}

bool UpdatePages::ShowVersionNotice() {
  const int latest = KnownLatestVersion(window_.Tags());
  if (latest <= ProgramVersion()) return false;
  window_.Status().Set(FormatString(IDS_VERSION_AVAILABLE, {latest / 100.0}), kNoticeTicks);
  window_.SendWindowMessage(WM_STATUS_CHANGED, 0, 0);
  return true;
}

}  // namespace pspkvx
