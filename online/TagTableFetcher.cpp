#include "online/TagTableFetcher.h"

#include <new>
#include <thread>

#include "online/ReplyLines.h"

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

// The first line of a page, short and printable, for a message about it.
std::string FirstLineOf(const std::string& body) {
  constexpr size_t kLimit = 120;
  std::string line = body.substr(0, body.find('\n'));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const bool cut = line.size() > kLimit;
  if (cut) line.resize(kLimit);
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) == 0x7F) c = ' ';
  return cut ? line + "..." : line;
}

}  // namespace

std::string FetchStatusName(int status) {
  switch (status) {
    case FetchIdle:
      return "FetchIdle";
    case FetchBusy:
      return "FetchBusy";
    case FetchOk:
      return "FetchOk";
    case FetchOpenFailed:
      return "FetchOpenFailed";
    case FetchParseFailed:
      return "FetchParseFailed";
    case FetchException:
      return "FetchException";
    case FetchNoMemory:
      return "FetchNoMemory";
    case FetchStopped:
      return "FetchStopped";
    default:
      return "Fetch" + std::to_string(status);
  }
}

std::string FetchResult::Value(const std::string& name) const {
  for (const TagEntry& entry : entries)
    if (entry.tag.compare(0, name.size(), name) == 0) return entry.value;
  return "";
}

std::string DescribeFetch(int status, const FetchDetail& detail) {
  const std::string& address = detail.address;
  switch (status) {
    case FetchOk:
      return address + " answered with a reply";
    case FetchOpenFailed:
      return address + ": not an http:// or https:// address";
    case FetchParseFailed: {
      const std::string page =
          detail.firstLine.empty() ? "an empty page" : "\"" + detail.firstLine + "\"";
      if (detail.httpStatus >= 400)
        return address + " answered HTTP " + std::to_string(detail.httpStatus) + ": " + page;
      return address + " answered, but not with a reply of the saves service: " + page;
    }
    case FetchException:
      return address + ": " + (detail.error.empty() ? "the transfer failed" : detail.error);
    case FetchNoMemory:
      return address + ": the reply does not fit in memory";
    case FetchStopped:
      return address + ": stopped before it was answered";
    default:
      return address + ": " + FetchStatusName(status);
  }
}

TagTableFetcher::TagTableFetcher(TagTable& table) : table_(table) {}

TagTableFetcher::~TagTableFetcher() {
  StopRequestWorker(0);
}

FetchResult TagTableFetcher::Fetch(const std::string& address, const ManualResetEvent* stop) {
  std::lock_guard<std::mutex> lock(callerLock_);
  FetchResult result;
  result.detail.address = address;
  WaitWhileBusy();
  if (stop && stop->IsSet()) {
    result.status = FetchStopped;
    return result;
  }
  if (!RequestUrl(address)) {
    result.status = RequestStatus() == FetchBusy ? FetchStopped : RequestStatus();
    return result;
  }
  while (RequestStatus() == FetchBusy) {
    if (stop && stop->IsSet()) cancel_.Set();
    std::this_thread::sleep_for(1ms);
  }
  result.status = RequestStatus();
  result.detail = LastDetail();
  // A failed transfer parses nothing; the table's records are then an older reply's.
  if (result.status == FetchOk || result.status == FetchParseFailed)
    result.records = table_.Records();
  result.entries = table_.Entries();
  return result;
}

bool TagTableFetcher::WorkerPresent() const {
  return hasWorker_.load() && !workerLoopEnded_.load();
}

bool TagTableFetcher::StartRequestWorker() {
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

bool TagTableFetcher::RequestUrl(const std::string& address) {
  if (!StartRequestWorker()) return false;
  std::lock_guard<std::mutex> lock(requestMutex_);
  if (!WorkerPresent() || status_.load() == FetchBusy) return false;
  address_ = address;
  cancel_.Reset();
  status_ = FetchBusy;
  wake_.Set();
  return true;
}

int TagTableFetcher::RequestStatus() const {
  return WorkerPresent() ? status_.load() : FetchStopped;
}

std::string TagTableFetcher::RequestAddress() const {
  std::lock_guard<std::mutex> lock(requestMutex_);
  return address_;
}

FetchDetail TagTableFetcher::LastDetail() const {
  std::lock_guard<std::mutex> lock(requestMutex_);
  return detail_;
}

void TagTableFetcher::WaitWhileBusy() const {
  while (RequestStatus() == FetchBusy)
    std::this_thread::sleep_for(1ms);
}

void TagTableFetcher::StopRequestWorker(int seconds) {
  std::lock_guard<std::mutex> slot(slotMutex_);
  if (!worker_) return;
  hasWorker_ = false;
  worker_->RequestStop();
  cancel_.Set();
  bool ended = false;
  for (long step = 0; !ended && (seconds == 0 || step < long(seconds) * 10); ++step)
    ended = worker_->WaitForEnd(std::chrono::milliseconds(100));
  // One that outlives the wait stays in its slot; the next start waits for it first.
  if (ended) worker_.reset();
}

void TagTableFetcher::SetTransferLimits(const TransferLimits& limits) {
  std::lock_guard<std::mutex> lock(requestMutex_);
  limits_ = limits;
}

void TagTableFetcher::RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t) {
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

void TagTableFetcher::FinishRequest(int status, FetchDetail detail) {
  {
    std::lock_guard<std::mutex> lock(requestMutex_);
    detail_ = std::move(detail);
  }
  phase_ = PhaseIdle;
  status_ = status;
}

void TagTableFetcher::RunOneRequest(ManualResetEvent& stop) {
  phase_ = PhaseConnecting;
  FetchDetail detail;
  detail.address = RequestAddress();
  auto stopped = [&] { return stop.IsSet() || cancel_.IsSet(); };
  // There is no dial-up to bring up: the system's network is taken as connected.
  if (stopped()) return FinishRequest(FetchStopped, std::move(detail));
  HttpGetOptions options;
  {
    std::lock_guard<std::mutex> lock(requestMutex_);
    options.limits = limits_;
    options.maxBytes = limits_.maxReplyBytes;
  }
  // The worker's stop sets the cancel event too, so one event ends the transfer.
  options.stop = &cancel_;
  options.phase = &phase_;
  const HttpResult result = HttpGet(detail.address, options);
  detail.httpStatus = result.httpStatus;
  // Any HTTP answer is a page to read, error pages included: they fail as replies, and a
  // public site that answers at all shows that the connection works.
  if (result.outcome != HttpOutcome::Ok) {
    detail.error = result.error;
    return FinishRequest(StatusOfFailedTransfer(result), std::move(detail));
  }
  phase_ = PhaseReading;
  if (stopped()) return FinishRequest(FetchStopped, std::move(detail));
  std::string text;
  try {
    text = JoinReplyLines(result.body);
  } catch (const std::bad_alloc&) {
    return FinishRequest(FetchNoMemory, std::move(detail));
  }
  phase_ = PhaseParsing;
  if (table_.ParseReply(text.c_str(), text.size()) == 0)
    return FinishRequest(FetchOk, std::move(detail));
  detail.firstLine = FirstLineOf(result.body);
  FinishRequest(FetchParseFailed, std::move(detail));
}

}  // namespace pspkvx
