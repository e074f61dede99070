// CManagerDlg: the main window's logic, GUI-free. It owns the five pages and their lists, the
// status line, the PSP detector and the stick, the service's tag table and its fetcher, every
// worker slot, and it handles the window's commands, timer, keys and private messages. The front
// end (ui/qt/ManagerWindow) draws the widgets, forwards their events here and carries out what
// this asks of it through IManagerView.
//
// Threads: everything but RunThreadWork, SendWindowMessage and ShowMessageBox runs on the window
// thread. Workers reach the window only through the window bridge (sent messages, questions);
// what a worker shares with the window is atomic or behind a lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "app/ManagerApp.h"
#include "base/MessageBox.h"
#include "base/Thread.h"
#include "base/WindowBridge.h"
#include "base/WindowMessages.h"
#include "online/ServiceSettings.h"
#include "online/TagTable.h"
#include "online/TagTableFetcher.h"
#include "psp/PspDrive.h"
#include "psp/PspStick.h"
#include "ui/ListModel.h"
#include "ui/ManagerView.h"
#include "ui/PspStatusPanel.h"
#include "ui/StatusLine.h"
#include "ui/TreeModel.h"
#include "ui/WindowOperations.h"

namespace pspkvx {

class MediaPages;
class OnlinePages;
class UpdatePages;

inline constexpr int kTimerMilliseconds = 300;
inline constexpr int kVirtualKeyF5 = 116;
inline constexpr int kVirtualKeyDelete = 46;

// How long the exit sequence waits for each worker, in seconds.
struct ExitBounds {
  int finalListSave = 50;  // the last save of every list, never stopped
  int listWorker = 50;     // a list load or save that was running
  int batch = 15;          // a copy or conversion in progress ends at its next check
  int accountWorker = 4;
  int otherWorkers = 4;  // the online, PSP polling and video thumbnail workers
  int fetcher = 4;       // the tag table's request worker
};

class CManagerDlg : public IThreadOwner, public IWindowMessages, public IMessageBoxHost {
 public:
  CManagerDlg(CManagerApp& app, IManagerView& view);
  // Stops what still runs (bounded), without the exit sequence's saving.
  ~CManagerDlg() override;
  CManagerDlg(const CManagerDlg&) = delete;
  CManagerDlg& operator=(const CManagerDlg&) = delete;

  // Binds the window bridge to the calling thread, the window thread; wake must make that
  // thread call ServicePendingMessages soon (it may be called from any thread).
  void AttachWindowThread(WindowBridge::Wake wake);
  // The window's initialisation: placement, workers, the service's tags, the first page.
  void Initialize();

  // Events from the front end (window thread).
  void OnCommand(int control);
  void OnTimer();
  // A key press; true when the window used it.
  bool OnKey(int virtualKey);
  void OnCaptionDoubleClick(int x, int y, const Rect& caption);
  // A right click on a list: the row under the pointer, or -1 on empty space.
  void OnContextMenu(int listId, int row);
  void OnListPressed(int listId);
  // A press on a row of a list whose rows the window's logic chooses itself (the online page's
  // left list); row -1 on empty space.
  void OnListRowPressed(int listId, int row);
  // The extra mouse buttons: Back on the online page.
  void OnExtraMouseButton();
  void OnTreeExpanded(int64_t node, bool expanded);
  // A right click on the online tree: the node under the pointer, or -1.
  void OnTreeContextMenu(int64_t node);
  // A double click on a row of a list.
  void OnListDoubleClicked(int listId, int row);
  void OnTreePressed();
  void OnFilesDropped(int listId, const std::string& path, bool moreFollow);
  void OnCloseRequest() { ExitSequence(); }
  // The exit sequence: the last list save, the workers stopped with bounded waits, the window
  // ended with OK. Runs once.
  void ExitSequence();

  // What the front end paints.
  int CurrentPage() const { return currentPage_; }
  bool IsBusy() const { return batch_ != nullptr; }
  bool Closing() const { return closing_.load(); }
  std::string StatusText() const { return status_.Text(); }
  StatusLine& Status() { return status_; }
  const PspStatusPanel& PspPanel() const { return pspPanel_; }
  CPspDrive& PspDrive() { return *pspDrive_; }
  PspStick& Stick() { return *stick_; }
  CManagerApp& App() { return app_; }
  MediaPages& Media() { return *media_; }
  OnlinePages& Online() { return *online_; }
  UpdatePages& Updates() { return *updates_; }
  IManagerView& View() { return view_; }
  // The rows of the saves page's online tree.
  const std::shared_ptr<TreeModel>& SavesTreeRows() const { return savesTree_; }
  // The rows of a list (the control numbers of the page lists and the saves lists); the online
  // page's right pane shows the PSP saves as list 1087 does.
  ListModel& List(int listId);
  TagTable& Tags() { return tags_; }
  TagTableFetcher& Fetcher() { return fetcher_; }
  const ServiceEndpoints& Endpoints() const { return endpoints_; }
  WindowOperations& Operations() { return operations_; }
  WindowBridge& Bridge() { return *bridge_; }
  // The progress of the running worker, 0..100, written by workers.
  std::atomic<int>& Progress() { return progress_; }
  // The next WM_BATCH_DONE leaves the page's lists as they are.
  void SkipNextRescan() { skipRescan_ = true; }
  // The lists were edited: the exit sequence saves them.
  void MarkListsChanged() { listsChanged_ = true; }
  // Whether a worker of a slot is running now (ThreadKind).
  bool WorkerRunning(int kind) const;
  void SetExitBounds(const ExitBounds& bounds) { exitBounds_ = bounds; }

  // Page switching with its guards (a tab's command).
  void SwitchToPage(int page);
  // Reloads the current page's PSP list from the stick (window thread).
  void RescanCurrentPage();
  // Shows or hides Cancel's enabled state from any thread (a download that can no longer be
  // stopped disables it).
  void EnableCancel(bool enabled);

  // IWindowMessages: any thread.
  intptr_t SendWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  // IThreadOwner
  void RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t parameter) override;
  void ServicePendingMessages() override { bridge_->RunPending(); }
  // IMessageBoxHost: any thread; a worker waits until the user has answered. Once the window is
  // closing, a question is answered with its last button (No, Cancel) without being shown.
  int ShowMessageBox(const MessageBoxRequest& request) override;
  void SetMessageShowing(bool showing) override { messageShowing_ = showing; }
  bool MessageShowing() const { return messageShowing_.load(); }
  // The save dialog and the name entry, asked from any thread; empty when cancelled or when
  // the window is closing.
  std::string AskSavePath(const std::string& proposedPath);
  std::string AskName(const std::string& prompt, const std::string& initialName);

 private:
  intptr_t OnWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
  void OnBatchDone();
  // kind is the download's PendingDownload; the result 0 refuses what came.
  intptr_t OnTransferDone(int kind, intptr_t buffer);
  void OnCheckUpdates(intptr_t dontAsk);

  void LayOutPage();
  void RefreshStatusArea();
  // Whether the operation a control starts on the current page is there.
  bool HasOperation(int control) const;
  void CaptureWindowState();
  void ApplyBusy(bool busy);
  void StartBatch(uintptr_t parameter, int priority);
  void StartListSave(uintptr_t which);
  void StartOnlineWorker();
  // A slot whose worker has ended counts as empty (and its object is deleted here).
  bool SlotEmpty(std::unique_ptr<CThread>& slot);
  void StartWorker(std::unique_ptr<CThread>& slot, int kind, uintptr_t parameter, int priority);

  void SelectAllToggle(int listId);
  void DeleteFromPsp();
  void OnQualityButton(int control);
  void OnVideoChoice(int control);
  void OnOptions();
  void ShowAbout();
  void OnPspHelp();
  void RemoveUpgradeProgram();

  CManagerApp& app_;
  IManagerView& view_;
  std::shared_ptr<WindowBridge> bridge_ = std::make_shared<WindowBridge>();
  WindowOperations operations_;
  ExitBounds exitBounds_;

  std::atomic<int> currentPage_{-1};  // read by the background worker
  std::atomic<bool> closing_{false};
  std::atomic<bool> listsChanged_{false};
  std::atomic<bool> listsLoaded_{false};  // the list files were read to their end
  std::atomic<bool> messageShowing_{false};
  std::atomic<int> progress_{0};
  std::atomic<int> batchPage_{PageVideo};
  bool skipRescan_ = false;
  int timerDepth_ = 0;
  int startupTicks_ = 0;
  int optionsDepth_ = 0;

  StatusLine status_;
  // Shared with the detection worker, which may outlive a bounded wait at exit.
  std::shared_ptr<CPspDrive> pspDrive_;
  std::unique_ptr<PspStick> stick_;
  PspStatusPanel pspPanel_;
  std::map<int, ListModel> lists_;
  std::atomic<bool> savesNeedRebuild_{true};
  TagTable tags_;
  TagTableFetcher fetcher_{tags_};
  ServiceEndpoints endpoints_;
  std::unique_ptr<MediaPages> media_;
  std::shared_ptr<TreeModel> savesTree_ = std::make_shared<TreeModel>();

  // Worker slots (window thread only).
  std::unique_ptr<CThread> pollWorker_;
  std::unique_ptr<CThread> listWorker_;  // loading or saving the lists
  std::unique_ptr<CThread> onlineWorker_;
  // The background passes the online worker runs; written only while no online worker runs.
  decltype(WindowOperations::backgroundPasses) onlinePasses_;
  // The files of a drop that is still being delivered, one by one.
  std::vector<std::string> droppedFiles_;
  std::unique_ptr<CThread> batch_;
  std::unique_ptr<CThread> accountWorker_;
  std::unique_ptr<CThread> videoThumbsWorker_;
  // Last, so that it ends first: its workers use the window's fetcher, lists and bridge.
  std::unique_ptr<OnlinePages> online_;
  std::unique_ptr<UpdatePages> updates_;  // uses the online side's download engine
};

}  // namespace pspkvx
