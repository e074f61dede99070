// The download engine: one whole-body download at a time on a worker of its own, whose end
// reaches the window as WM_TRANSFER_DONE. In memory mode (no destination) the message carries
// the downloaded buffer (a pointer to a std::vector<uint8_t> holding [32-bit length N][N bytes],
// valid while the message is handled) or 0 on failure; in file mode the body is written to the
// destination file and the message carries 0. The window decides by its pending-download kind
// what the buffer is for, and may refuse it (the message's result 0): the download then ends
// as refused, not as complete. A Start while a download runs is refused, so that two users of
// the engine (the update check, the saves tree) cannot take over each other's transfer.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/MessageBox.h"
#include "base/Thread.h"
#include "base/WindowMessages.h"
#include "online/FileDownload.h"
#include "online/HttpTransport.h"

namespace pspkvx {

// The engine's state: 1 running, 2 complete, -4 cancelled, every other negative value a failure.
enum DownloadState : int {
  DownloadIdle = 0,
  DownloadRunning = 1,
  DownloadComplete = 2,
  DownloadNotHttp = -1,       // the address is not an HTTP address
  DownloadCannotCreate = -2,  // file mode: the destination cannot be written
  DownloadFailed = -3,        // the transfer failed, or the server answered with an error
  DownloadCancelled = -4,     // stopped, or file mode's question answered No
  DownloadRefused = -5,       // the window refused what came (WM_TRANSFER_DONE answered 0)
};

class DownloadEngine : private IThreadOwner {
 public:
  // window receives WM_TRANSFER_DONE; boxes shows the engine's messages and question (none:
  // nothing is shown, an existing destination is replaced); servicePending lets the window
  // thread handle that message while it waits for the worker to end.
  DownloadEngine(IWindowMessages& window, IMessageBoxHost* boxes = nullptr,
                 std::function<void()> servicePending = {});
  // Stops a running download and waits for its worker.
  ~DownloadEngine() override;
  DownloadEngine(const DownloadEngine&) = delete;
  DownloadEngine& operator=(const DownloadEngine&) = delete;

  // Starts downloading address into memory (destination empty) or into the destination file;
  // false (nothing started) while a download runs or when the worker cannot be created. The
  // pending kind (what the download is for) comes back as WM_TRANSFER_DONE's wParam.
  bool Start(const std::string& address, int pendingKind, const std::string& destination = "");
  // Asks the running download to stop; its end is still reported (with 0), as cancelled.
  void Stop();
  // Back to idle after a download has ended (a running one is left alone).
  void Reset();
  int State() const { return state_.load(); }
  bool Running() const { return state_.load() == DownloadRunning; }
  // Bytes received so far by the running or last download.
  uint32_t Received() const { return download_.Received(); }
  // The address of the running or last download.
  std::string Address() const;

  void SetTransferLimits(const TransferLimits& limits);

 private:
  void RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t parameter) override;
  void ServicePendingMessages() override {
    if (servicePending_) servicePending_();
  }
  // The end of a download: the message, then the state (the engine counts as running until
  // the window has handled it, so that no Start comes in between).
  void Finish(int state, const std::vector<uint8_t>* buffer);
  void Say(int text);

  IWindowMessages& window_;
  IMessageBoxHost* boxes_;
  std::function<void()> servicePending_;
  mutable std::mutex mutex_;  // the address, the destination, the limits and the worker slot
  std::string address_;
  std::string destination_;
  int pendingKind_ = 0;
  TransferLimits limits_;
  std::unique_ptr<CThread> worker_;
  FileDownload download_;  // the worker's; its received count is read from any thread
  std::atomic<int> state_{DownloadIdle};
};

}  // namespace pspkvx
