// CThread: the worker thread every long operation runs on. A worker has a kind, a parameter
// word, a done event and a stop event (both manual reset); its owner supplies the work routine
// for each kind. Workers are ended only through their stop event and bounded waits: no thread
// is ever killed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "base/ManualResetEvent.h"

namespace pspkvx {

enum ThreadKind : int {
  ThreadPollPsp = 0,       // PSP detection, for the whole run
  ThreadUpdateCheck = 1,   // update check and download
  ThreadLoadLists = 2,     // load the catalogue list files
  ThreadSaveLists = 3,     // write catalogue list files
  ThreadBatch = 4,         // the batch operation of the current page
  ThreadOnline = 5,        // the online browser and the video list service
  ThreadThumbs = 6,        // picture downloads
  ThreadFetch = 9,         // the tag table's request worker
  ThreadAccount = 10,      // has no work routine: ends at once
  ThreadVideoThumbs = 12,  // the video thumbnail maker
};

// Scheduling priorities, as the Windows values they stand for.
enum ThreadPriority : int {
  ThreadPriorityBelowNormal = -1,
  ThreadPriorityNormal = 0,
  ThreadPriorityHighest = 2,
};

// Attached progress bar of a worker (optional).
class IProgressBar {
 public:
  virtual ~IProgressBar() = default;
  virtual void SetStep(int step) = 0;
  virtual void SetPos(int pos) = 0;
};

// The object that starts workers and knows what each kind does.
class IThreadOwner {
 public:
  virtual ~IThreadOwner() = default;
  // Runs the work routine of the kind; returns at once for a kind without one. Routines poll
  // stop (IsSet) between steps and return early once it is set.
  virtual void RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t parameter) = 0;
  // Called by a bounded wait on the owner's own thread, so that messages workers send to it
  // are still handled while it waits for them to end.
  virtual void ServicePendingMessages() {}
};

class CThread {
 public:
  using Callback = std::function<void(int kind)>;

  // Creates and starts a worker. Returns null (and creates nothing) when the system cannot
  // create the thread.
  static std::unique_ptr<CThread> Start(IThreadOwner* owner, int kind, uintptr_t parameter,
                                        Callback callback = {}, int priority = ThreadPriorityNormal,
                                        IProgressBar* progressBar = nullptr);

  // Sets the stop event if the worker still runs (it has not ended within 1 ms).
  void RequestStop();

  // Sets the stop event if the worker still runs, waits for it in 100 ms steps, at most
  // seconds x 10 steps (0: no limit), then deletes it. A worker that outlives the wait is
  // left to finish on its own; its events stay valid until it has.
  static void StopAndDelete(std::unique_ptr<CThread> thread, int seconds);
  // The same without the stop request: for a worker whose work must not be cut short (the
  // last save of the lists). Messages it sends meanwhile are handled as in StopAndDelete.
  static void WaitAndDelete(std::unique_ptr<CThread> thread, int seconds);

  // Waits up to timeout for the worker to end; true when it has ended.
  bool WaitForEnd(std::chrono::milliseconds timeout) const;
  bool IsRunning() const;

  int Kind() const { return kind_; }
  uintptr_t Parameter() const { return parameter_; }
  IThreadOwner* Owner() const { return owner_; }
  ManualResetEvent& DoneEvent() { return state_->done; }
  ManualResetEvent& StopEvent() { return state_->stop; }

  // Number of workers whose work routine is running right now, process-wide.
  static int RunningCount();

  ~CThread();
  CThread(const CThread&) = delete;
  CThread& operator=(const CThread&) = delete;

 private:
  struct State {
    ManualResetEvent done;
    ManualResetEvent stop;
    ManualResetEvent ended;  // set as the very last step of the thread
  };

  CThread(IThreadOwner* owner, int kind, uintptr_t parameter);
  static void Body(const std::shared_ptr<State>& state, IThreadOwner* owner, int kind,
                   uintptr_t parameter, const Callback& callback, int priority,
                   IProgressBar* progressBar);

  IThreadOwner* owner_;
  int kind_;
  uintptr_t parameter_;
  std::shared_ptr<State> state_;
  std::thread thread_;
};

}  // namespace pspkvx
