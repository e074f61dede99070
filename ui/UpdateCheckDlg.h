// The update dialog's logic: the worker that asks the service for the newest release, tells
// the user what it found and downloads a newer one through the download engine, with the
// progress bar, Cancel in every state and the signature that the downloaded release must carry.
// GUI-free: the dialog's face is an IUpdateDialogView, which the worker calls from its own
// thread (the front end carries each call over to the window thread).
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
#include "online/DownloadEngine.h"
#include "online/HttpTransport.h"
#include "update/LatestVersion.h"

namespace pspkvx {

// What the dialog shows; any thread.
class IUpdateDialogView {
 public:
  virtual ~IUpdateDialogView() = default;
  virtual void SetText(const std::string& text) = 0;  // text 1007
  virtual void SetOkFaces() = 0;                      // the Cancel button becomes "OK"
  // The bar in the progress rectangle: percent (0..100) and the text on it.
  virtual void SetProgress(double percent, const std::string& text) = 0;
  virtual void EndDialog(int result) = 0;
};

enum UpdateDialogResult : int {
  UpdateDownloaded = 0,
  UpdateNoNewer = 1,
  UpdateFailed = 2,  // the download failed or was cancelled
  UpdateWorking = 3,
};

struct UpdateCheckContext {
  ReleaseLookup lookup;
  DownloadEngine& engine;
  IMessageBoxHost& boxes;
  int runningVersion;
  std::string supportAddress;
  TransferLimits limits;
  // Lets the window thread handle messages the worker sends while it waits for the worker.
  std::function<void()> servicePending;
};

class CUpdateCheckDlg : private IThreadOwner {
 public:
  explicit CUpdateCheckDlg(UpdateCheckContext context);
  // Stops a running worker and waits for it.
  ~CUpdateCheckDlg() override;
  CUpdateCheckDlg(const CUpdateCheckDlg&) = delete;
  CUpdateCheckDlg& operator=(const CUpdateCheckDlg&) = delete;

  // The front end attaches its face before OnInitDialog and detaches it before it goes; the
  // worker's calls after that reach nothing.
  void Attach(IUpdateDialogView* view);
  // "Checking with server for updates...." and the worker (kind 1).
  void OnInitDialog();
  // The Cancel (later "OK") button, and closing the dialog.
  void OnCancel();

  int Result() const { return result_.load(); }
  // True while the worker has not finished its work.
  bool Working() const;
  // The signature fetched for the release being downloaded (empty: none came).
  std::vector<uint8_t> Signature() const;
  // What Run update dialog returns once the dialog has ended: 1 when an upgrade was
  // downloaded (result 0 and the engine complete), else 0.
  int Outcome() const;

  // "%iK of %iK" for the bytes received and expected.
  static std::string ProgressText(int64_t received, int64_t expected);

 private:
  void RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t parameter) override;
  void ServicePendingMessages() override {
    if (context_.servicePending) context_.servicePending();
  }
  int Work(const ManualResetEvent& stop);
  // The release downloaded by the engine, its signature first; 0 when complete, else -1.
  int Download(const LatestRelease& latest, const ManualResetEvent& stop);
  // The worker's end: the result, the text, "OK", and the worker counted as gone.
  int Finish(int result, const std::string& text, int returned);

  template <typename Call>
  void OnView(Call call) {
    std::lock_guard<std::mutex> lock(viewMutex_);
    if (view_) call(*view_);
  }

  UpdateCheckContext context_;
  mutable std::mutex viewMutex_;
  IUpdateDialogView* view_ = nullptr;
  std::unique_ptr<CThread> worker_;
  std::atomic<bool> workerDone_{false};
  std::atomic<bool> downloadStarted_{false};  // this dialog started the engine
  std::atomic<int> result_{UpdateWorking};
  mutable std::mutex signatureMutex_;
  std::vector<uint8_t> signature_;
};

}  // namespace pspkvx
