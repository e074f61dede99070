#include "service/ServiceWorkers.h"

#include <utility>

namespace pspkvx::service {
namespace {

thread_local bool beyondLimit = false;

}  // namespace

bool ServingBeyondLimit() {
  return beyondLimit;
}

ElasticWorkers::ElasticWorkers(const ServiceLimits& limits) : limits_(limits) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < limits_.coreWorkers; ++i)
    workers_.emplace_back([this] { Work(); });
}

ElasticWorkers::~ElasticWorkers() {
  shutdown();
}

void ElasticWorkers::enqueue(std::function<void()> task) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (stopping_) return;
  // Every worker busy: one more, up to the limit; past it the connection waits its turn while
  // the queue is short, and beyond that is answered 503 by a short-lived worker of its own
  // (unless those too are all taken: then it waits after all).
  const bool allBusy = idle_ <= tasks_.size();
  if (allBusy && workers_.size() < limits_.maxWorkers) {
    workers_.emplace_back([this] { Work(); });
  } else if (allBusy && tasks_.size() >= limits_.maxWaiting &&
             overflowRunning_ < limits_.overflowWorkers) {
    ++overflowRunning_;
    std::thread([this, task = std::move(task)] { Overflow(task); }).detach();
    return;
  }
  tasks_.push_back(std::move(task));
  lock.unlock();
  wake_.notify_one();
}

void ElasticWorkers::Overflow(const std::function<void()>& task) {
  beyondLimit = true;
  task();
  // The last touch of the queue: shutdown waits for this count to reach 0.
  std::lock_guard<std::mutex> lock(mutex_);
  --overflowRunning_;
  overflowDone_.notify_all();
}

void ElasticWorkers::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    ++idle_;
    wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
    --idle_;
    if (tasks_.empty()) return;  // stopping, nothing left
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    lock.unlock();
    task();
    lock.lock();
  }
}

void ElasticWorkers::shutdown() {
  std::vector<std::thread> threads;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    stopping_ = true;
    threads = std::move(workers_);
    workers_.clear();
    wake_.notify_all();
    overflowDone_.wait(lock, [this] { return overflowRunning_ == 0; });
  }
  for (std::thread& thread : threads)
    if (thread.joinable()) thread.join();
}

size_t ElasticWorkers::Workers() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return workers_.size();
}

void ApplyServiceLimits(httplib::Server& server, const ServiceLimits& limits) {
  server.set_tcp_nodelay(true);
  server.set_read_timeout(limits.readTimeout);
  server.set_write_timeout(limits.writeTimeout);
  server.set_keep_alive_timeout(limits.keepAliveTimeout.count());
  server.set_keep_alive_max_count(limits.keepAliveMaxCount);
  server.new_task_queue = [limits] { return new ElasticWorkers(limits); };
}

}  // namespace pspkvx::service
