// Downloading a save of the online lists and installing it on the stick: the save's description
// is read for its download address (only the reply's first record counts), the container is
// downloaded whole into memory with the caller's stop event, and it is installed through the
// save install, which checks it and asks before an existing save is replaced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "base/ManualResetEvent.h"
#include "online/HttpTransport.h"
#include "online/OnlineRows.h"
#include "online/TagTableFetcher.h"
#include "saves/SaveInstall.h"
#include "saves/SaveStick.h"

namespace pspkvx {

// A save container is never larger than this; a download that grows past it fails.
inline constexpr size_t kMaxSaveDownloadBytes = size_t(64) << 20;

// What the download shows its work through (any thread).
class ISaveDownloadHost {
 public:
  virtual ~ISaveDownloadHost() = default;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void Repaint() {}
  // The Cancel button: shown while the download can still be stopped.
  virtual void EnableCancel(bool) {}
  // The download's progress, 0..100.
  virtual void SetProgress(int) {}
};

enum class SaveDownloadOutcome {
  NoSave,          // no save chosen
  NoPsp,           // the PSP is not connected: nothing happens
  MissingAddress,  // the description has no download address (its message was shown)
  DownloadFailed,  // the download failed (its message was shown)
  Cancelled,       // the stop event ended the download; nothing written
  Installed,       // the install ran; its result and report say how it ended
};

struct SaveDownloadResult {
  SaveDownloadOutcome outcome = SaveDownloadOutcome::NoSave;
  int installResult = 0;  // InstallSave's result, once it ran
  SaveInstallReport report;
  int descriptionStatus = FetchIdle;  // FetchStatus of the description's request
  FetchDetail detail;                 // of the description's request or the download
  std::string downloadAddress;
};

struct SaveDownloadContext {
  const SaveStick& stick;
  TagTableFetcher& fetcher;
  ISaveDownloadHost& host;
  TransferLimits limits;
};

// The download proper of the chosen save: the description, the download (with progress and
// Cancel), then the install, which asks before replacing a save when ask is set.
SaveDownloadResult DownloadSave(const SaveDownloadContext& context,
                                const std::optional<OnlineSaveChoice>& choice,
                                const ManualResetEvent* stop, bool ask = true);

// Writes a downloaded container ([32-bit length N][N bytes]) onto the stick: shows
// "Downloaded OK - Saving to PSP...", installs it, refreshes the stick's free space and clears
// the status text. Returns InstallSave's result.
int InstallDownloadedSave(const SaveStick& stick, ISaveDownloadHost& host,
                          std::span<uint8_t> buffer, bool ask = true,
                          SaveInstallReport* report = nullptr);

}  // namespace pspkvx
