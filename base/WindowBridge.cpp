#include "base/WindowBridge.h"

namespace pspkvx {

void WindowBridge::Attach(Wake wake) {
  std::lock_guard<std::mutex> lock(mutex_);
  windowThread_ = std::this_thread::get_id();
  wake_ = std::move(wake);
  attached_ = true;
}

void WindowBridge::Detach() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    attached_ = false;
    for (auto& pending : queue_)
      pending->done = true;
    queue_.clear();
    wake_ = nullptr;
  }
  answered_.notify_all();
}

bool WindowBridge::OnWindowThread() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return attached_ && windowThread_ == std::this_thread::get_id();
}

intptr_t WindowBridge::Send(Call call) {
  if (OnWindowThread()) return call();
  auto pending = std::make_shared<Pending>();
  pending->call = std::move(call);
  Wake wake;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!attached_) return 0;
    queue_.push_back(pending);
    wake = wake_;
  }
  if (wake) wake();
  std::unique_lock<std::mutex> lock(mutex_);
  answered_.wait(lock, [&] { return pending->done; });
  return pending->result;
}

void WindowBridge::RunPending() {
  for (;;) {
    std::shared_ptr<Pending> next;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!attached_ || windowThread_ != std::this_thread::get_id() || queue_.empty()) return;
      next = queue_.front();
      queue_.pop_front();
    }
    const intptr_t result = next->call();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      next->result = result;
      next->done = true;
    }
    answered_.notify_all();
  }
}

}  // namespace pspkvx
