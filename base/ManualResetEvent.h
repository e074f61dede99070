// An event that stays signalled until it is reset, like a Windows manual-reset event.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace pspkvx {

class ManualResetEvent {
 public:
  void Set() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      signalled_ = true;
    }
    cv_.notify_all();
  }
  void Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = false;
  }
  // A zero-time wait: is the event signalled right now?
  bool IsSet() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return signalled_;
  }
  // Waits at most the given time; true when the event is signalled.
  bool WaitFor(std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, timeout, [this] { return signalled_; });
  }
  void Wait() const {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait(lock, [this] { return signalled_; });
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable cv_;
  bool signalled_ = false;
};

}  // namespace pspkvx
