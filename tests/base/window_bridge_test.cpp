#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "base/Thread.h"
#include "base/WindowBridge.h"
#include "base/WindowMessages.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;

// A stand-in window thread: runs the bridge's queued calls whenever it is woken.
class WindowThread {
 public:
  explicit WindowThread(WindowBridge& bridge) : bridge_(bridge) {
    thread_ = std::thread([this] {
      std::unique_lock<std::mutex> lock(mutex_);
      bridge_.Attach([this] {
        std::lock_guard<std::mutex> l(mutex_);
        woken_ = true;
        cv_.notify_all();
      });
      id_ = std::this_thread::get_id();
      attached_ = true;
      cv_.notify_all();
      while (!quit_) {
        cv_.wait(lock, [this] { return woken_ || quit_; });
        woken_ = false;
        lock.unlock();
        bridge_.RunPending();
        lock.lock();
      }
      bridge_.Detach();
    });
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait(lock, [this] { return attached_; });
  }
  ~WindowThread() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      quit_ = true;
      cv_.notify_all();
    }
    thread_.join();
  }
  std::thread::id id() const { return id_; }

 private:
  WindowBridge& bridge_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable cv_;
  bool woken_ = false, quit_ = false, attached_ = false;
  std::thread::id id_;
};

TEST(WindowBridge, WorkerSendIsHandledOnTheWindowThreadWhileTheWorkerWaits) {
  WindowBridge bridge;
  WindowThread window(bridge);
  std::atomic<bool> handlerDone{false};
  std::thread::id handledOn;
  const intptr_t result = bridge.Send([&] {
    handledOn = std::this_thread::get_id();
    std::this_thread::sleep_for(50ms);  // the sender must still be waiting after this
    handlerDone = true;
    return intptr_t(WM_BATCH_DONE);
  });
  EXPECT_TRUE(handlerDone);  // Send returned only after the handler ran
  EXPECT_EQ(result, intptr_t(WM_BATCH_DONE));
  EXPECT_EQ(handledOn, window.id());
  EXPECT_NE(handledOn, std::this_thread::get_id());
}

TEST(WindowBridge, SendOnTheWindowThreadRunsDirectly) {
  WindowBridge bridge;
  bridge.Attach([] { FAIL() << "a send on the window thread must not queue"; });
  EXPECT_TRUE(bridge.OnWindowThread());
  EXPECT_EQ(bridge.Send([] { return intptr_t(7); }), 7);
  bridge.Detach();
}

TEST(WindowBridge, AfterDetachSendsReturnZeroWithoutRunning) {
  WindowBridge bridge;
  std::atomic<bool> woken{false};
  bridge.Attach([&] { woken = true; });
  std::atomic<intptr_t> result{-1};
  std::atomic<bool> ran{false};
  std::thread worker([&] {
    result = bridge.Send([&] {
      ran = true;
      return intptr_t(5);
    });
  });
  while (!woken)
    std::this_thread::sleep_for(1ms);
  bridge.Detach();  // the window goes away while the worker waits
  worker.join();
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(ran);
  EXPECT_EQ(bridge.Send([] { return intptr_t(9); }), 0);
}

// A worker that sends to the window while the window waits for it to stop must not deadlock.
TEST(WindowBridge, BoundedWaitOnTheWindowThreadStillHandlesSends) {
  struct Owner : IThreadOwner {
    WindowBridge bridge;
    std::atomic<int> handled{0};
    void RunThreadWork(int, ManualResetEvent& stop, uintptr_t) override {
      while (!stop.IsSet()) {
        bridge.Send([this] {
          ++handled;
          return intptr_t(0);
        });
        std::this_thread::sleep_for(2ms);
      }
      bridge.Send([this] {
        ++handled;
        return intptr_t(0);
      });  // one last report
    }
    void ServicePendingMessages() override { bridge.RunPending(); }
  } owner;
  owner.bridge.Attach([] {});  // this test thread is the window thread
  auto thread = CThread::Start(&owner, ThreadBatch, 0);
  ASSERT_TRUE(thread);
  while (owner.handled < 3)
    owner.bridge.RunPending();
  CThread::StopAndDelete(std::move(thread), 4);
  EXPECT_GE(owner.handled, 4);
  EXPECT_EQ(CThread::RunningCount(), 0);
  owner.bridge.Detach();
}

}  // namespace
}  // namespace pspkvx
