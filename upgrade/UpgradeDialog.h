// The updater's window and the work behind it. UpgradeSession owns everything the worker touches
// (the platform, the CUpdater, the worker itself) and reaches the dialog only through queued
// calls, posted while the dialog is attached; so a worker that outlives its bounded wait never
// touches a dialog that is gone.
#pragma once

#include <QDialog>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

#include "base/Thread.h"
#include "update/Updater.h"

class QLabel;
class QPushButton;

namespace pspkvx {

class UpgradeDialog;

class UpgradeSession final : public IThreadOwner, public IUpdaterReport {
 public:
  UpgradeSession(std::unique_ptr<platform::Platform> platform, UpdaterOptions options);
  ~UpgradeSession() override;
  UpgradeSession(const UpgradeSession&) = delete;
  UpgradeSession& operator=(const UpgradeSession&) = delete;

  // GUI thread: the dialog that shows the work, then the worker (kind 0, normal priority).
  // False when the worker cannot be started.
  bool Start(UpgradeDialog* dialog);
  // GUI thread: the dialog is going; later reports are dropped.
  void Detach();
  // GUI thread: asks the worker to stop unless it is writing (CUpdater::RequestStop).
  bool RequestStop();
  // Waits at most the given time for the worker to end; true when it has (or never started).
  bool WaitForEnd(std::chrono::milliseconds limit);
  // 0 when the files were replaced, else 1.
  int ExitCode() const;

  void RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t parameter) override;
  void SetText(const std::string& text) override;

 private:
  void Post(std::function<void(UpgradeDialog&)> call);

  std::unique_ptr<platform::Platform> platform_;
  CUpdater updater_;
  std::unique_ptr<CThread> thread_;
  std::mutex mutex_;
  UpgradeDialog* dialog_ = nullptr;  // behind mutex_
  std::atomic<bool> updated_{false};
};

class UpgradeDialog final : public QDialog {
  Q_OBJECT

 public:
  // failurePause: how long a failure's text stays before the dialog closes by itself.
  explicit UpgradeDialog(UpgradeSession& session,
                         std::chrono::milliseconds failurePause = std::chrono::seconds(3));
  ~UpgradeDialog() override;

  // Queued from the worker.
  void ShowText(const QString& text);
  void WorkEnded(UpdaterOutcome outcome);

  // The dialog closes (Escape, the close button, OK): refused while files are being written;
  // while waiting the worker is asked to stop and waited for (at most 3 s) first.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  bool MayClose();

  UpgradeSession& session_;
  std::chrono::milliseconds failurePause_;
  QLabel* text_ = nullptr;
  QPushButton* ok_ = nullptr;
  bool started_ = false;
  bool ended_ = false;
  bool closing_ = false;
};

}  // namespace pspkvx
