#include "online/DownloadEngine.h"

#include "online/FileDownload.h"

namespace pspkvx {

DownloadEngine::DownloadEngine(IWindowMessages& window, std::function<void()> servicePending)
    : window_(window), servicePending_(std::move(servicePending)) {}

DownloadEngine::~DownloadEngine() {
  std::unique_ptr<CThread> worker;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    worker = std::move(worker_);
  }
  CThread::StopAndDelete(std::move(worker), 0);
}

bool DownloadEngine::Start(const std::string& address) {
  std::lock_guard<std::mutex> lock(mutex_);
  int idle = state_.load();
  if (idle == DownloadRunning) return false;
  if (!state_.compare_exchange_strong(idle, DownloadRunning)) return false;
  // The worker of the last download has sent its message; it ends at once.
  if (worker_) CThread::StopAndDelete(std::move(worker_), 0);
  address_ = address;
  received_ = 0;
  worker_ = CThread::Start(this, ThreadUpdateCheck, 0, {}, ThreadPriorityNormal);
  if (!worker_) {
    state_ = DownloadIdle;
    return false;
  }
  return true;
}

void DownloadEngine::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (worker_) worker_->RequestStop();
}

std::string DownloadEngine::Address() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return address_;
}

void DownloadEngine::SetTransferLimits(const TransferLimits& limits) {
  std::lock_guard<std::mutex> lock(mutex_);
  limits_ = limits;
}

void DownloadEngine::RunThreadWork(int, ManualResetEvent& stop, uintptr_t) {
  FileDownload download;
  std::string address;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    address = address_;
    download.SetTransferLimits(limits_);
  }
  const int got = download.DownloadFile(address, &stop);
  received_ = download.Received();
  const bool ok = got == 1 && download.Result() && !stop.IsSet() && download.ResultLength() > 0;
  std::vector<uint8_t> buffer;
  if (ok) buffer = *download.Result();
  download.FreeResult();
  // The buffer stays the engine's: the window handles the message before Send returns. The
  // engine counts as running until then, so that no Start comes in between.
  window_.SendWindowMessage(WM_TRANSFER_DONE, 0,
                            ok ? reinterpret_cast<intptr_t>(&buffer) : intptr_t(0));
  state_ = ok ? DownloadComplete : stop.IsSet() ? DownloadStopped : DownloadFailed;
}

}  // namespace pspkvx
