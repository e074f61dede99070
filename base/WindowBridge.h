// The one place where workers reach the window thread. A call sent from another thread is
// queued, the window thread is woken to run it, and the sender blocks until it has run; a
// call made on the window thread itself runs at once. Once the window is gone (Detach) every
// waiting and later send returns 0 without running.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace pspkvx {

class WindowBridge {
 public:
  using Call = std::function<intptr_t()>;
  // Asks the window thread to call RunPending soon; must be callable from any thread.
  using Wake = std::function<void()>;

  // Binds the bridge to the calling thread, which becomes the window thread.
  void Attach(Wake wake);
  // The window is going away: pending sends are answered with 0, later ones return 0 at once.
  void Detach();

  // Runs call on the window thread and returns its result.
  intptr_t Send(Call call);
  // Window thread: runs every queued call. Does nothing on any other thread.
  void RunPending();

  bool OnWindowThread() const;

 private:
  struct Pending {
    Call call;
    intptr_t result = 0;
    bool done = false;
  };

  mutable std::mutex mutex_;
  std::condition_variable answered_;
  std::deque<std::shared_ptr<Pending>> queue_;
  std::thread::id windowThread_;
  Wake wake_;
  bool attached_ = false;
};

}  // namespace pspkvx
