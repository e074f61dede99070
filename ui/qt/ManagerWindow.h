// The PSPKVX main window (plain widgets for now): the five page tabs, Exit, the PSP status
// (connection icon, status text, free space), the status line and the PSP-side commands.
// It is the window thread of the program: workers reach it through its WindowBridge.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "app/ManagerApp.h"
#include "base/MessageBox.h"
#include "base/Thread.h"
#include "base/WindowBridge.h"
#include "base/WindowMessages.h"
#include "psp/PspDrive.h"
#include "ui/PspStatusPanel.h"
#include "ui/StatusLine.h"

class QButtonGroup;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace pspkvx {

class ManagerWindow : public QDialog,
                      public IThreadOwner,
                      public IMessageBoxHost,
                      public IWindowMessages {
  Q_OBJECT
 public:
  explicit ManagerWindow(CManagerApp& app, QWidget* parent = nullptr);
  ~ManagerWindow() override;

  // Sends a private message to the window and returns its result (blocks a worker until the
  // window thread has handled it).
  intptr_t SendWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

  int CurrentPage() const { return currentPage_; }
  void SwitchToPage(int page);
  // The exit sequence: stops the workers with bounded waits and ends the window with OK.
  void ExitSequence();

  StatusLine& Status() { return status_; }
  WindowBridge& Bridge() { return bridge_; }
  CPspDrive& PspDrive() { return *pspDrive_; }
  // The detection worker runs from initialisation until the exit sequence.
  bool PspPollingRunning() const { return pollThread_ && pollThread_->IsRunning(); }

  // IThreadOwner
  void RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t parameter) override;
  void ServicePendingMessages() override { bridge_.RunPending(); }

  // IMessageBoxHost
  int ShowMessageBox(const MessageBoxRequest& request) override;
  void SetMessageShowing(bool showing) override { messageShowing_ = showing; }
  bool MessageShowing() const { return messageShowing_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;  // Escape does not close the main window

 private slots:
  void OnTimer();
  void BringForward();
  void OnPspHelp();

 private:
  virtual intptr_t OnWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
  void CaptureWindowState();
  void PlaceWindow();
  void RefreshStatusLine();
  void RefreshPspStatus();
  QLayout* CreatePspStatusRow();

  CManagerApp& app_;
  WindowBridge bridge_;
  StatusLine status_;
  std::atomic<bool> messageShowing_{false};
  int currentPage_ = -1;
  bool closing_ = false;
  int timerDepth_ = 0;  // the timer's body never runs inside itself (a modal loop in it)

  // Shared with the detection worker, which may outlive a bounded wait at exit.
  std::shared_ptr<CPspDrive> pspDrive_;
  PspStatusPanel pspPanel_;
  std::unique_ptr<CThread> pollThread_;

  QButtonGroup* tabs_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QLabel* statusLabel_ = nullptr;
  QPushButton* exitButton_ = nullptr;
  QToolButton* pspButton_ = nullptr;  // connection icon and PSP help
  QLabel* pspStatusLabel_ = nullptr;
  QLabel* freeSpaceLabel_ = nullptr;
  QProgressBar* freeSpaceBar_ = nullptr;
  QPushButton* deleteFromPspButton_ = nullptr;
  bool iconConnected_ = false;
  int iconPhase_ = 0;
};

}  // namespace pspkvx
