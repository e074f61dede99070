#include "ui/UpdateCheckDlg.h"

#include <algorithm>
#include <chrono>

#include "base/StringFormat.h"
#include "base/StringTable.h"
#include "ui/WindowOperations.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;

constexpr auto kProgressPoll = 50ms;
constexpr size_t kMaxSignatureReply = 4096;
constexpr int kEndedByWorker = -1;
constexpr int kClosed = 1;
// How long closing the dialog waits for its worker (a fetch or a download ends at its stop).
constexpr int kWorkerWaitSeconds = 15;

}  // namespace

CUpdateCheckDlg::CUpdateCheckDlg(UpdateCheckContext context) : context_(std::move(context)) {}

CUpdateCheckDlg::~CUpdateCheckDlg() {
  Attach(nullptr);
  CThread::StopAndDelete(std::move(worker_), kWorkerWaitSeconds);
}

void CUpdateCheckDlg::Attach(IUpdateDialogView* view) {
  std::lock_guard<std::mutex> lock(viewMutex_);
  view_ = view;
}

void CUpdateCheckDlg::OnInitDialog() {
  OnView([](IUpdateDialogView& view) { view.SetText(StringOf(IDS_CHECKING_FOR_UPDATES)); });
  worker_ = CThread::Start(this, ThreadUpdateCheck, 0, {}, ThreadPriorityNormal);
  if (!worker_) Finish(UpdateFailed, StringOf(IDS_CANNOT_READ_SERVER), -1);
}

void CUpdateCheckDlg::OnCancel() {
  const int state = context_.engine.State();
  if (downloadStarted_ && state == DownloadComplete) {
    OnView([](IUpdateDialogView& view) { view.EndDialog(kClosed); });
    return;
  }
  if (downloadStarted_ && state == DownloadRunning) {
    context_.engine.Stop();  // the worker then says "Download was cancelled."
    return;
  }
  if (worker_) worker_->RequestStop();
  if (!Working()) OnView([](IUpdateDialogView& view) { view.EndDialog(kClosed); });
}

bool CUpdateCheckDlg::Working() const {
  return worker_ && !workerDone_.load();
}

std::vector<uint8_t> CUpdateCheckDlg::Signature() const {
  std::lock_guard<std::mutex> lock(signatureMutex_);
  return signature_;
}

int CUpdateCheckDlg::Outcome() const {
  return result_.load() == UpdateDownloaded && context_.engine.State() > 0 ? 1 : 0;
}

std::string CUpdateCheckDlg::ProgressText(int64_t received, int64_t expected) {
  return std::to_string(received / 1000) + "K of " + std::to_string(expected / 1000) + "K";
}

void CUpdateCheckDlg::RunThreadWork(int, ManualResetEvent& stop, uintptr_t) {
  Work(stop);
  workerDone_ = true;
}

int CUpdateCheckDlg::Finish(int result, const std::string& text, int returned) {
  result_ = result;
  OnView([&text](IUpdateDialogView& view) {
    view.SetText(text);
    view.SetOkFaces();
  });
  workerDone_ = true;
  return returned;
}

int CUpdateCheckDlg::Work(const ManualResetEvent& stop) {
  const auto endDialog = [this](int returned) {
    workerDone_ = true;
    OnView([](IUpdateDialogView& view) { view.EndDialog(kEndedByWorker); });
    return returned;
  };
  const LatestRelease latest = FetchLatestVersion(context_.lookup, &context_.boxes, &stop);
  // A cancelled check ends the dialog without a message: the user asked for it.
  if (stop.IsSet()) return endDialog(-1);
  if (!latest.release.usable()) {
    endDialog(-1);
    ShowMessage(context_.boxes, StringOf(IDS_CANNOT_READ_SERVER));
    return -1;
  }
  if (latest.release.version <= context_.runningVersion)
    return Finish(UpdateNoNewer, StringOf(IDS_NO_NEW_UPDATES), 0);

  const std::string found = StringOf(IDS_NEW_VERSION_DOWNLOADING) +
                            TryFormat(" %1.2f", {latest.release.version / 100.0}).value_or("");
  OnView([&found](IUpdateDialogView& view) { view.SetText(found); });
  if (Download(latest, stop) == 0) {
    if (stop.IsSet()) return endDialog(-3);
    return Finish(UpdateDownloaded, StringOf(IDS_DOWNLOAD_FINISHED), 0);
  }
  if (stop.IsSet()) return endDialog(-3);
  const std::string failed = context_.engine.State() == DownloadCancelled
                                 ? StringOf(IDS_DOWNLOAD_CANCELLED)
                                 : StringOf(IDS_UPGRADE_FAILED) + context_.supportAddress;
  return Finish(UpdateFailed, failed, -2);
}

int CUpdateCheckDlg::Download(const LatestRelease& latest, const ManualResetEvent& stop) {
  // The signature comes first: a release without one is never downloaded.
  HttpGetOptions options;
  options.maxBytes = kMaxSignatureReply;
  options.limits = context_.limits;
  options.stop = &stop;
  const HttpResult signature = HttpGet(latest.address + ".sig", options);
  if (stop.IsSet() || signature.outcome != HttpOutcome::Ok) return -1;
  if (signature.httpStatus == 404 || (signature.httpStatus < 400 && signature.body.empty())) {
    ShowMessage(context_.boxes, StringOf(IDS_UPGRADE_NOT_SIGNED));
    return -1;
  }
  if (signature.httpStatus >= 400) return -1;
  {
    std::lock_guard<std::mutex> lock(signatureMutex_);
    signature_.assign(signature.body.begin(), signature.body.end());
  }

  DownloadEngine& engine = context_.engine;
  if (!engine.Start(latest.address, PendingUpgrade)) return -1;  // another download holds it
  downloadStarted_ = true;
  const int64_t expected = latest.release.bytes;
  for (;;) {
    const int64_t received = engine.Received();
    const double percent =
        expected > 0
            ? std::min(100.0, 100.0 * static_cast<double>(received) / static_cast<double>(expected))
            : 0.0;
    const std::string text = ProgressText(received, expected);
    OnView([&](IUpdateDialogView& view) { view.SetProgress(percent, text); });
    if (engine.State() != DownloadRunning) break;
    // Closing the dialog stops the download too.
    if (stop.WaitFor(kProgressPoll)) engine.Stop();
  }
  return engine.State() == DownloadComplete ? 0 : -1;
}

}  // namespace pspkvx
