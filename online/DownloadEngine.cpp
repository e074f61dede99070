#include "online/DownloadEngine.h"

#include "base/FileRead.h"
#include "base/StringTable.h"
#include "platform/Platform.h"

namespace pspkvx {

DownloadEngine::DownloadEngine(IWindowMessages& window, IMessageBoxHost* boxes,
                               std::function<void()> servicePending)
    : window_(window), boxes_(boxes), servicePending_(std::move(servicePending)) {}

DownloadEngine::~DownloadEngine() {
  std::unique_ptr<CThread> worker;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    worker = std::move(worker_);
  }
  CThread::StopAndDelete(std::move(worker), 0);
}

bool DownloadEngine::Start(const std::string& address, int pendingKind,
                           const std::string& destination) {
  std::lock_guard<std::mutex> lock(mutex_);
  int idle = state_.load();
  if (idle == DownloadRunning) return false;
  if (!state_.compare_exchange_strong(idle, DownloadRunning)) return false;
  // The worker of the last download has sent its message; it ends at once.
  if (worker_) CThread::StopAndDelete(std::move(worker_), 0);
  address_ = address;
  destination_ = destination;
  pendingKind_ = pendingKind;
  worker_ = CThread::Start(this, ThreadUpdateCheck, 0, {}, ThreadPriorityNormal);
  if (!worker_) {
    state_ = DownloadIdle;
    return false;
  }
  return true;
}

void DownloadEngine::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (worker_ && state_.load() == DownloadRunning) worker_->RequestStop();
}

void DownloadEngine::Reset() {
  int ended = state_.load();
  while (ended != DownloadRunning && !state_.compare_exchange_weak(ended, DownloadIdle)) {
  }
}

std::string DownloadEngine::Address() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return address_;
}

void DownloadEngine::SetTransferLimits(const TransferLimits& limits) {
  std::lock_guard<std::mutex> lock(mutex_);
  limits_ = limits;
}

void DownloadEngine::Say(int text) {
  if (boxes_) ShowMessage(*boxes_, StringOf(text));
}

void DownloadEngine::Finish(int state, const std::vector<uint8_t>* buffer) {
  int kind = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    kind = pendingKind_;
  }
  const intptr_t handled = window_.SendWindowMessage(WM_TRANSFER_DONE, static_cast<uintptr_t>(kind),
                                                     reinterpret_cast<intptr_t>(buffer));
  state_ = state == DownloadComplete && handled == 0 ? DownloadRefused : state;
}

void DownloadEngine::RunThreadWork(int, ManualResetEvent& stop, uintptr_t) {
  std::string address, destination;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    address = address_;
    destination = destination_;
    download_.SetTransferLimits(limits_);
  }
  if (stop.IsSet()) return Finish(DownloadCancelled, nullptr);
  if (!IsHttpAddress(address)) {
    Say(IDS_COPY_FAILED);
    return Finish(DownloadNotHttp, nullptr);
  }
  const bool toFile = !destination.empty();
  if (toFile) {
    // The question comes before the transfer: No is a cancellation, never a completed copy.
    if (platform::QueryLocalPath(destination) && boxes_ &&
        !AskYesNo(*boxes_, StringOf(IDS_DOWNLOAD_DESTINATION_EXISTS)))
      return Finish(DownloadCancelled, nullptr);
    if (!OutputFileProblem(destination).empty()) {
      Say(IDS_COPY_FAILED);
      return Finish(DownloadCannotCreate, nullptr);
    }
  }

  const int got = download_.DownloadFile(address, &stop);
  if (stop.IsSet()) {
    download_.FreeResult();
    return Finish(DownloadCancelled, nullptr);
  }
  if (got != 1 || !download_.Result() || download_.ResultLength() == 0) {
    download_.FreeResult();
    return Finish(DownloadFailed, nullptr);
  }
  // The buffer stays the engine's: the window handles the message before Send returns.
  std::vector<uint8_t> buffer = *download_.Result();
  download_.FreeResult();
  if (!toFile) return Finish(DownloadComplete, &buffer);

  // File mode: the whole body replaces the destination at once, so a failed or cut transfer
  // never leaves half a file.
  if (!platform::ReplaceFileAtomically(destination, buffer.data() + 4, buffer.size() - 4)) {
    Say(IDS_COPY_FAILED);
    return Finish(DownloadCannotCreate, nullptr);
  }
  Finish(DownloadComplete, nullptr);
}

}  // namespace pspkvx
