// The PSPKVX main window (plain widgets for now): the five page tabs, Exit, the status line.
// It is the window thread of the program: workers reach it through its WindowBridge.
#pragma once

#include <QDialog>
#include <array>

#include "app/ManagerApp.h"
#include "ui/MessageBox.h"
#include "ui/StatusLine.h"
#include "ui/Thread.h"
#include "ui/WindowBridge.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace pspkvx {

class ManagerWindow : public QDialog, public IThreadOwner, public IMessageBoxHost {
  Q_OBJECT
 public:
  explicit ManagerWindow(CManagerApp& app, QWidget* parent = nullptr);
  ~ManagerWindow() override;

  // Sends a private message to the window and returns its result (blocks a worker until the
  // window thread has handled it).
  intptr_t SendWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

  int CurrentPage() const { return currentPage_; }
  void SwitchToPage(int page);
  // The exit sequence: stops the workers with bounded waits and ends the window with OK.
  void ExitSequence();

  StatusLine& Status() { return status_; }
  WindowBridge& Bridge() { return bridge_; }

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

 private:
  virtual intptr_t OnWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
  void CaptureWindowState();
  void PlaceWindow();
  void RefreshStatusLine();

  CManagerApp& app_;
  WindowBridge bridge_;
  StatusLine status_;
  std::atomic<bool> messageShowing_{false};
  int currentPage_ = -1;
  bool closing_ = false;

  QButtonGroup* tabs_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QLabel* statusLabel_ = nullptr;
  QPushButton* exitButton_ = nullptr;
};

}  // namespace pspkvx
