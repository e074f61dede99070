// The request part of the TagTable: the worker ThreadFetch that runs one text request at a time
// and parses its reply into the table.
#include <new>
#include <thread>

#include "online/ReplyLines.h"
#include "online/TagTable.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;

// The status a finished transfer leaves when its reply is not parsed.
int StatusOfFailedTransfer(const HttpResult& result) {
  switch (result.outcome) {
    case HttpOutcome::Stopped:
      return FetchStopped;
    case HttpOutcome::BadAddress:
      return FetchOpenFailed;
    case HttpOutcome::NoMemory:
      return FetchNoMemory;
    default:  // no connection, a broken or stalled transfer, a reply over the limit
      return FetchException;
  }
}

}  // namespace

bool TagTable::WorkerPresent() const {
  return hasWorker_.load() && !workerLoopEnded_.load();
}

bool TagTable::StartRequestWorker() {
  std::lock_guard<std::mutex> slot(slotMutex_);
  if (WorkerPresent()) return true;
  // A worker that is still stopping ends before another starts, so that only one ever runs.
  if (worker_) {
    worker_->RequestStop();
    while (!worker_->WaitForEnd(std::chrono::milliseconds(100))) {
    }
    worker_.reset();
  }
  // A request queued while the last worker ended was never run.
  int busy = FetchBusy;
  status_.compare_exchange_strong(busy, FetchStopped);
  workerLoopEnded_ = false;
  worker_ = CThread::Start(this, ThreadFetch, 0);
  hasWorker_ = worker_ != nullptr;
  return hasWorker_;
}

bool TagTable::RequestUrl(const std::string& address) {
  if (!StartRequestWorker()) return false;
  std::lock_guard<std::mutex> lock(requestMutex_);
  if (!WorkerPresent() || status_.load() == FetchBusy) return false;
  address_ = address;
  status_ = FetchBusy;
  wake_.Set();
  return true;
}

int TagTable::RequestStatus() const {
  return WorkerPresent() ? status_.load() : FetchStopped;
}

std::string TagTable::RequestAddress() const {
  std::lock_guard<std::mutex> lock(requestMutex_);
  return address_;
}

void TagTable::WaitWhileBusy() const {
  while (RequestStatus() == FetchBusy)
    std::this_thread::sleep_for(1ms);
}

void TagTable::StopRequestWorker(int seconds) {
  std::lock_guard<std::mutex> slot(slotMutex_);
  if (!worker_) return;
  hasWorker_ = false;
  worker_->RequestStop();
  bool ended = false;
  for (long step = 0; !ended && (seconds == 0 || step < long(seconds) * 10); ++step)
    ended = worker_->WaitForEnd(std::chrono::milliseconds(100));
  // One that outlives the wait stays in its slot; the next start waits for it first.
  if (ended) worker_.reset();
}

void TagTable::SetTransferLimits(const TransferLimits& limits) {
  std::lock_guard<std::mutex> lock(requestMutex_);
  limits_ = limits;
}

void TagTable::RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t) {
  if (kind != ThreadFetch) return;
  while (!stop.IsSet()) {
    if (status_.load() == FetchBusy) {
      RunOneRequest(stop);
    } else {
      wake_.WaitFor(50ms);
      wake_.Reset();
    }
  }
  // A request queued while the loop ended is not left busy for ever.
  int busy = FetchBusy;
  status_.compare_exchange_strong(busy, FetchStopped);
  phase_ = PhaseIdle;
  workerLoopEnded_ = true;
}

void TagTable::FinishRequest(int status) {
  status_ = status;
  phase_ = PhaseIdle;
}

void TagTable::RunOneRequest(ManualResetEvent& stop) {
  phase_ = PhaseConnecting;
  // There is no dial-up to bring up: the system's network is taken as connected.
  if (stop.IsSet()) return FinishRequest(FetchStopped);
  HttpGetOptions options;
  {
    std::lock_guard<std::mutex> lock(requestMutex_);
    options.limits = limits_;
    options.maxBytes = limits_.maxReplyBytes;
  }
  options.stop = &stop;
  options.phase = &phase_;
  const HttpResult result = HttpGet(RequestAddress(), options);
  // Any HTTP answer is a page to read, error pages included: they fail as replies, and a
  // public site that answers at all shows that the connection works.
  if (result.outcome != HttpOutcome::Ok) return FinishRequest(StatusOfFailedTransfer(result));
  phase_ = PhaseReading;
  if (stop.IsSet()) return FinishRequest(FetchStopped);
  std::string text;
  try {
    text = JoinReplyLines(result.body);
  } catch (const std::bad_alloc&) {
    return FinishRequest(FetchNoMemory);
  }
  phase_ = PhaseParsing;
  FinishRequest(ParseReply(text.c_str(), text.size()) == 0 ? FetchOk : FetchParseFailed);
}

}  // namespace pspkvx
