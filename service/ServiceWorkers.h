// How the service stands up to load and to slow clients: its workers grow when every worker is
// busy, so that a client slow to send its request holds only its own worker; past the workers'
// limit connections wait in a short queue, and beyond that a request is answered 503 at once; and a
// request's headers, an idle keep-alive connection and a client that does not read its answer are
// each given a short time only.
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace pspkvx::service {

struct ServiceLimits {
  size_t coreWorkers = 8;       // started with the server
  size_t maxWorkers = 256;      // connections served at the same time
  size_t maxWaiting = 1024;     // connections waiting for a worker
  size_t overflowWorkers = 64;  // beyond those: connections answered 503 at once
  // For any read: headers, body. Slow clients hold only their own workers, so it need not be
  // short; too short a limit drops ordinary clients of a busy machine.
  std::chrono::milliseconds readTimeout{2000};
  std::chrono::seconds keepAliveTimeout{2};  // an idle keep-alive connection is closed
  size_t keepAliveMaxCount = 1000;           // requests on one connection
  std::chrono::milliseconds writeTimeout{2000};
  int listenBacklog = 1024;
};

// True while the calling worker serves a connection beyond the limit: its request is to be
// answered 503.
bool ServingBeyondLimit();

// The task queue behind the server: a worker per connection, started when none is idle, up
// to the limits.
class ElasticWorkers : public httplib::TaskQueue {
 public:
  explicit ElasticWorkers(const ServiceLimits& limits);
  ~ElasticWorkers() override;
  void enqueue(std::function<void()> task) override;
  void shutdown() override;

  size_t Workers() const;

 private:
  void Work();
  void Overflow(const std::function<void()>& task);

  const ServiceLimits limits_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable overflowDone_;
  std::deque<std::function<void()>> tasks_;
  std::vector<std::thread> workers_;
  size_t idle_ = 0;
  size_t overflowRunning_ = 0;
  bool stopping_ = false;
};

// Sets the server's timeouts, TCP_NODELAY and its task queue.
void ApplyServiceLimits(httplib::Server& server, const ServiceLimits& limits);

}  // namespace pspkvx::service
