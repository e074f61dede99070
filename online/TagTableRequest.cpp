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

bool TagTable::WorkerPresentLocked() const { return worker_ && !workerLoopEnded_.load(); }

bool TagTable::StartRequestWorker() {
  std::lock_guard<std::mutex> lock(requestMutex_);
  if (WorkerPresentLocked()) return true;
  // A worker whose loop has ended only has its last steps left.
  if (worker_) CThread::StopAndDelete(std::move(worker_), 0);
  workerLoopEnded_ = false;
  worker_ = CThread::Start(this, ThreadFetch, 0);
  return worker_ != nullptr;
}

bool TagTable::RequestUrl(const std::string& address) {
  if (!StartRequestWorker()) return false;
  std::lock_guard<std::mutex> lock(requestMutex_);
  if (!WorkerPresentLocked() || status_.load() == FetchBusy) return false;
  address_ = address;
  status_ = FetchBusy;
  wake_.Set();
  return true;
}

int TagTable::RequestStatus() const {
  std::lock_guard<std::mutex> lock(requestMutex_);
  return WorkerPresentLocked() ? status_.load() : FetchStopped;
}

std::string TagTable::RequestAddress() const {
  std::lock_guard<std::mutex> lock(requestMutex_);
  return address_;
}

void TagTable::WaitWhileBusy() const {
  while (RequestStatus() == FetchBusy) std::this_thread::sleep_for(1ms);
}

void TagTable::StopRequestWorker(int seconds) {
  std::unique_ptr<CThread> worker;
  {
    std::lock_guard<std::mutex> lock(requestMutex_);
    worker = std::move(worker_);
  }
  CThread::StopAndDelete(std::move(worker), seconds);
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
