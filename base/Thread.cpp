#include "base/Thread.h"

#include <atomic>
#include <system_error>

#include "platform/Platform.h"

namespace pspkvx {
namespace {

std::atomic<int> g_nRunningWorkers{0};

}  // namespace

CThread::CThread(IThreadOwner* owner, int kind, uintptr_t parameter)
    : owner_(owner), kind_(kind), parameter_(parameter), state_(std::make_shared<State>()) {}

CThread::~CThread() {
  if (!thread_.joinable()) return;
  if (state_->ended.IsSet())
    thread_.join();
  else
    thread_.detach();  // still inside its routine after a bounded wait ran out
}

std::unique_ptr<CThread> CThread::Start(IThreadOwner* owner, int kind, uintptr_t parameter,
                                        Callback callback, int priority,
                                        IProgressBar* progressBar) {
  std::unique_ptr<CThread> thread(new CThread(owner, kind, parameter));
  try {
    thread->thread_ = std::thread(&CThread::Body, thread->state_, owner, kind, parameter,
                                  std::move(callback), priority, progressBar);
  } catch (const std::system_error&) {
    return nullptr;
  }
  return thread;
}

void CThread::Body(const std::shared_ptr<State>& state, IThreadOwner* owner, int kind,
                   uintptr_t parameter, const Callback& callback, int priority,
                   IProgressBar* progressBar) {
  platform::SetCurrentThreadPriority(priority);
  state->done.Reset();
  ++g_nRunningWorkers;
  if (progressBar) {
    progressBar->SetStep(100);
    progressBar->SetPos(0);
  }
  if (owner) owner->RunThreadWork(kind, state->stop, parameter);
  --g_nRunningWorkers;
  state->done.Set();
  if (callback) callback(kind);
  state->ended.Set();
}

bool CThread::IsRunning() const {
  return !state_->ended.IsSet();
}

bool CThread::WaitForEnd(std::chrono::milliseconds timeout) const {
  return state_->ended.WaitFor(timeout);
}

void CThread::RequestStop() {
  if (!WaitForEnd(std::chrono::milliseconds(1))) state_->stop.Set();
}

void CThread::StopAndDelete(std::unique_ptr<CThread> thread, int seconds) {
  if (thread && thread->IsRunning()) thread->state_->stop.Set();
  WaitAndDelete(std::move(thread), seconds);
}

void CThread::WaitAndDelete(std::unique_ptr<CThread> thread, int seconds) {
  if (!thread) return;
  if (thread->IsRunning()) {
    IThreadOwner* owner = thread->owner_;
    // 100 ms steps, each in short slices so that messages the worker sends to the waiting
    // thread are handled promptly instead of blocking both sides.
    bool ended = false;
    for (long step = 0; !ended && (seconds == 0 || step < long(seconds) * 10); ++step) {
      for (int slice = 0; !ended && slice < 10; ++slice) {
        if (owner) owner->ServicePendingMessages();
        ended = thread->WaitForEnd(std::chrono::milliseconds(10));
      }
    }
  }
  thread.reset();
}

int CThread::RunningCount() {
  return g_nRunningWorkers.load();
}

}  // namespace pspkvx
