#include "online/SaveDownload.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "base/MessageBox.h"
#include "base/StringTable.h"
#include "online/FileDownload.h"

namespace pspkvx {
namespace {

// Shows the download's progress every tenth of a second until it is dropped.
class ProgressWatch {
 public:
  ProgressWatch(const FileDownload& download, int64_t expected, ISaveDownloadHost& host)
      : thread_([this, &download, expected, &host] {
          while (!done_.WaitFor(std::chrono::milliseconds(100))) {
            if (expected <= 0) continue;
            const int64_t received = download.Received();
            host.SetProgress(static_cast<int>(std::min<int64_t>(received * 100 / expected, 100)));
          }
        }) {}
  ~ProgressWatch() {
    done_.Set();
    thread_.join();
  }
  ProgressWatch(const ProgressWatch&) = delete;
  ProgressWatch& operator=(const ProgressWatch&) = delete;

 private:
  ManualResetEvent done_;
  std::thread thread_;
};

}  // namespace

SaveDownloadResult DownloadSave(const SaveDownloadContext& context,
                                const std::optional<OnlineSaveChoice>& choice,
                                const ManualResetEvent* stop, bool ask) {
  SaveDownloadResult result;
  ISaveDownloadHost& host = context.host;
  if (!choice) return result;
  if (stop) host.EnableCancel(true);
  if (!context.stick.drive.IsReady()) {
    result.outcome = SaveDownloadOutcome::NoPsp;
    return result;
  }
  host.SetStatusText(StringOf(IDS_DOWNLOADING_SAVE));
  host.Repaint();

  const FetchResult description = context.fetcher.Fetch(choice->url, stop);
  result.detail = description.detail;
  result.descriptionStatus = description.status;
  if (stop && stop->IsSet()) {
    host.SetStatusText(StringOf(IDS_CANCELLED));
    result.outcome = SaveDownloadOutcome::Cancelled;
    return result;
  }
  // Only the first record counts.
  if (!description.records.empty())
    result.downloadAddress =
        RecordField(description.records.front(), "<download_url>").value_or(std::string());
  if (result.downloadAddress.empty()) {
    host.SetStatusText("");
    ShowMessage(context.stick.host, StringOf(IDS_SAVE_FILE_MISSING));
    result.outcome = SaveDownloadOutcome::MissingAddress;
    return result;
  }

  FileDownload download;
  TransferLimits limits = context.limits;
  limits.maxDownloadBytes = std::min(limits.maxDownloadBytes, kMaxSaveDownloadBytes);
  download.SetTransferLimits(limits);
  host.SetProgress(0);
  int got = 0;
  {
    ProgressWatch watch(download, choice->bytes, host);
    got = download.DownloadFile(result.downloadAddress, stop);
  }
  result.detail.address = result.downloadAddress;
  result.detail.httpStatus = download.HttpStatus();
  const bool stopped = stop && stop->IsSet();
  if (got == 1 && stopped) {
    host.SetStatusText(StringOf(IDS_CANCELLED));
    result.outcome = SaveDownloadOutcome::Cancelled;
  } else if (got == 1 && download.ResultLength() > 0) {
    host.SetProgress(100);
    host.EnableCancel(false);  // the install cannot be stopped
    host.Repaint();
    std::vector<uint8_t> buffer = *download.Result();
    download.FreeResult();
    result.outcome = SaveDownloadOutcome::Installed;
    result.installResult = InstallDownloadedSave(context.stick, host, buffer, ask, &result.report);
  } else {
    // Nothing arrived, or an empty body (an error page, a file that is not there).
    host.SetStatusText("");
    ShowMessage(context.stick.host, StringOf(IDS_SAVE_DOWNLOAD_FAILED));
    result.outcome = SaveDownloadOutcome::DownloadFailed;
  }
  host.SetProgress(0);
  return result;
}

int InstallDownloadedSave(const SaveStick& stick, ISaveDownloadHost& host,
                          std::span<uint8_t> buffer, bool ask, SaveInstallReport* report) {
  host.SetStatusText(StringOf(IDS_SAVE_DOWNLOADED));
  host.Repaint();
  const int installed = InstallSave(stick, buffer, ask, report);
  stick.drive.RefreshFreeSpace();
  host.SetStatusText("");
  host.Repaint();
  return installed;
}

}  // namespace pspkvx
