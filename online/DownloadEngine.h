// The download engine: one whole-body download at a time on a worker of its own, into memory,
// whose end reaches the window as WM_TRANSFER_DONE with the downloaded buffer (a pointer to a
// std::vector<uint8_t> holding [32-bit length N][N bytes], valid while the message is handled)
// or 0 on failure. The window decides by its pending-download kind what the buffer
// is for. A Start while a download runs is refused, so that two users of the engine cannot take
// over each other's transfer.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/Thread.h"
#include "base/WindowMessages.h"
#include "online/HttpTransport.h"

namespace pspkvx {

enum DownloadState : int {
  DownloadIdle = 0,
  DownloadRunning = 1,
  DownloadComplete = 2,
  DownloadFailed = 3,
  DownloadStopped = 4,
};

class DownloadEngine : private IThreadOwner {
 public:
  // window receives WM_TRANSFER_DONE; servicePending lets the window thread handle that message
  // while it waits for the worker to end.
  DownloadEngine(IWindowMessages& window, std::function<void()> servicePending = {});
  // Stops a running download and waits for its worker.
  ~DownloadEngine() override;
  DownloadEngine(const DownloadEngine&) = delete;
  DownloadEngine& operator=(const DownloadEngine&) = delete;

  // Starts downloading address into memory; false (nothing started) while a download runs or
  // when the worker cannot be created.
  bool Start(const std::string& address);
  // Asks the running download to stop; its end is still reported (with 0).
  void Stop();
  int State() const { return state_.load(); }
  bool Running() const { return state_.load() == DownloadRunning; }
  uint32_t Received() const { return received_.load(); }
  // The address of the running or last download.
  std::string Address() const;

  void SetTransferLimits(const TransferLimits& limits);

 private:
  void RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t parameter) override;
  void ServicePendingMessages() override {
    if (servicePending_) servicePending_();
  }

  IWindowMessages& window_;
  std::function<void()> servicePending_;
  mutable std::mutex mutex_;  // the address, the limits and the worker slot
  std::string address_;
  TransferLimits limits_;
  std::unique_ptr<CThread> worker_;
  std::atomic<int> state_{DownloadIdle};
  std::atomic<uint32_t> received_{0};
};

}  // namespace pspkvx
