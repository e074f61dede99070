// TagTableFetcher: the requests behind a TagTable. One text request at a time is run by the
// request worker ThreadFetch (kind 9): the reply is read, its lines joined as the reader takes
// them (ReplyLines.h) and parsed into the table.
//
// Fetch is the way to use it: it waits for its turn under the callers' lock, queues the request,
// waits for its end and returns the status with a copy of the reply's records and the table's
// values, so that no caller repeats that protocol or holds a pointer into the table. RequestUrl,
// RequestStatus and the rest are the asynchronous form for callers that poll while they wait.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/ManualResetEvent.h"
#include "base/Thread.h"
#include "online/HttpTransport.h"
#include "online/TagTable.h"

namespace pspkvx {

enum FetchStatus : int {
  FetchIdle = 0,
  FetchBusy = 1,
  FetchOk = 2,
  FetchOpenFailed = 4,   // the address could not be opened (not an HTTP address)
  FetchParseFailed = 5,  // the reply is not in the service's format
  FetchException = 6,    // the connection or the transfer failed
  FetchNoMemory = 7,
  FetchStopped = 8,  // stopped, or there is no request worker
};

// "FetchOk" and so on; "Fetch<n>" for a value without a name.
std::string FetchStatusName(int status);

enum FetchPhase : int { PhaseIdle = 0, PhaseConnecting = 1, PhaseReading = 2, PhaseParsing = 3 };

// What a request came to, beyond its status, for messages that say what happened.
struct FetchDetail {
  std::string address;    // the address asked
  long httpStatus = 0;    // the HTTP status of the answer; 0 when none arrived
  std::string firstLine;  // the first line of an answer that was not a reply
  std::string error;      // why the transfer failed, as the transport says it
};

// The outcome of one Fetch.
struct FetchResult {
  int status = FetchIdle;
  FetchDetail detail;
  std::vector<ReplyRecord> records;  // of this reply (none unless it was parsed)
  std::vector<TagEntry> entries;     // the table's entries after it, values included

  bool ok() const { return status == FetchOk; }
  // The value of the first entry whose tag starts with name, as TagTable::LookupTag; empty
  // when there is none.
  std::string Value(const std::string& name) const;
};

// "http://host/page: ..." — what was asked and what answered, for a failed request.
std::string DescribeFetch(int status, const FetchDetail& detail);

class TagTableFetcher : private IThreadOwner {
 public:
  explicit TagTableFetcher(TagTable& table);
  // Stops the request worker and waits for it.
  ~TagTableFetcher() override;
  TagTableFetcher(const TagTableFetcher&) = delete;
  TagTableFetcher& operator=(const TagTableFetcher&) = delete;

  TagTable& Table() { return table_; }

  // One request, start to end, on the calling thread. A set stop event (the caller's worker
  // being stopped) ends a running request early with FetchStopped.
  FetchResult Fetch(const std::string& address, const ManualResetEvent* stop = nullptr);

  // Creates the worker when there is none; false when it cannot be created.
  bool StartRequestWorker();
  // Queues a request: false (nothing queued) when there is no worker or a request is still
  // FetchBusy; otherwise the status becomes FetchBusy and the worker fetches and parses it.
  bool RequestUrl(const std::string& address);
  // The status of the last request; FetchStopped when there is no worker.
  int RequestStatus() const;
  int RequestPhase() const { return phase_.load(); }
  // The address of the queued or last request.
  std::string RequestAddress() const;
  // The detail of the last finished request.
  FetchDetail LastDetail() const;
  // Polls the status in 1 ms steps until it is not FetchBusy.
  void WaitWhileBusy() const;
  // Every asynchronous caller holds this lock from its first wait until it has read what it
  // needs of the reply, so that no other caller replaces the reply in between (Fetch takes it).
  std::mutex& CallerLock() { return callerLock_; }
  // Sets the worker's stop event and waits at most seconds (0: no limit) for it to end.
  void StopRequestWorker(int seconds);

  // Time and size limits of the transfers; tests shorten them.
  void SetTransferLimits(const TransferLimits& limits);

 private:
  void RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t parameter) override;
  void RunOneRequest(ManualResetEvent& stop);
  void FinishRequest(int status, FetchDetail detail);
  bool WorkerPresent() const;

  TagTable& table_;
  std::mutex slotMutex_;  // starting and stopping the worker; never taken by the worker
  std::unique_ptr<CThread> worker_;
  std::atomic<bool> hasWorker_{false};
  std::atomic<bool> workerLoopEnded_{false};
  mutable std::mutex requestMutex_;  // address, detail and limits
  ManualResetEvent wake_;            // set when a request is queued
  ManualResetEvent cancel_;          // set to end the running request early
  std::string address_;
  FetchDetail detail_;
  TransferLimits limits_;
  std::atomic<int> status_{FetchIdle};
  std::atomic<int> phase_{PhaseIdle};
  std::mutex callerLock_;
};

}  // namespace pspkvx
