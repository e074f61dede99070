// TagTable: the reader of the online service's replies and the store of its settings. It knows a
// fixed, ordered table of registered tags, each with a kind that says what to do when the tag is
// met, and turns a reply into values kept in the table (settings keys, comments, letter blocks)
// and an ordered list of records of named fields. The table also carries the request worker that
// fetches replies one at a time (see "request part" below).
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "base/Thread.h"
#include "online/HttpTransport.h"

namespace pspkvx {

enum TagKind : int {
  TagField = 0,    // "<name>": the element's content becomes a field of the current record
  TagComment = 1,  // "//": the rest of the line becomes the entry's value
  TagSetting = 2,  // "KEY": optional white space, "=", white space; the rest of the line
  TagRecord = 3,   // "<save>": the opening tag starts a record, the closing tag ends it
  TagWrapper = 4,  // "<result>": the tag is skipped, its content read as usual
  TagBlock = 5,    // "<CHAR_A>": the element's content becomes the entry's value
};

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

struct TagEntry {
  std::string tag;
  std::string value;
  int kind = TagField;
};

// One record of a reply: its fields in order, each (registered tag text, element content).
struct ReplyRecord {
  std::vector<std::pair<std::string, std::string>> fields;
};

class TagTable : private IThreadOwner {
 public:
  // Registers the tags every table has: the two wrappers, the three record kinds, "//".
  TagTable();
  // Stops the request worker and waits for it.
  ~TagTable() override;
  TagTable(const TagTable&) = delete;
  TagTable& operator=(const TagTable&) = delete;

  // Appends an entry with an empty value. An empty tag is refused (false): it would match
  // everywhere without consuming anything.
  bool RegisterTag(const std::string& tag, int kind);

  // Parses a reply (a text in which every line ends with a line feed): clears the record list,
  // fills records and the values of kind 1, 2 and 5 entries. 0 on success, -1 when the reply is
  // rejected (it does not begin with a registered tag or key, or closes a record that is not
  // open). Values set before a rejection stay. Reads at most length bytes and stops at a NUL.
  int ParseReply(const char* text, size_t length);

  // The value of the first entry, in table order, whose tag starts with name; false when none.
  bool LookupTag(const std::string& name, std::string& value) const;

  // Records of the last reply. A record pointer stays valid until the next reply is parsed.
  int RecordCount() const;
  const ReplyRecord* RecordAt(int index) const;  // null when out of range
  // Fills value and returns true when the record has the field (exact name); else leaves value.
  bool FieldValue(const ReplyRecord* record, const std::string& name, std::string& value) const;
  // Replaces the record's field of that name by appending (name, value) at its end; -1 without
  // such a record.
  int SetField(int record, const std::string& name, const std::string& value);
  // Appends an empty record and returns its index.
  int NewRecord();

  // Copies for display and tools: the entries in table order, the records in order.
  std::vector<TagEntry> Entries() const;
  std::vector<ReplyRecord> Records() const;

  // ---- Request part: one text request at a time, run by the worker ThreadFetch (kind 9). ----

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
  // Polls the status in 1 ms steps until it is not FetchBusy.
  void WaitWhileBusy() const;
  // Every caller holds this lock from its first wait until it has read what it needs of the
  // reply, so that no other caller replaces the reply in between.
  std::mutex& CallerLock() { return callerLock_; }
  // Sets the worker's stop event and waits at most seconds (0: no limit) for it to end.
  void StopRequestWorker(int seconds);

  // Time and size limits of the transfers; tests shorten them.
  void SetTransferLimits(const TransferLimits& limits);

 private:
  struct Match {
    int index = -1;
    size_t length = 0;  // of the full tag text
    bool closing = false;
  };
  class Parser;

  void RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t parameter) override;
  void RunOneRequest(ManualResetEvent& stop);
  void FinishRequest(int status);
  bool WorkerPresent() const;

  int NewRecordLocked();
  int SetFieldLocked(int record, const std::string& name, std::string value);

  mutable std::mutex mutex_;  // entries, their values and the record list
  std::vector<TagEntry> entries_;
  std::vector<std::unique_ptr<ReplyRecord>> records_;
  int current_ = -1;

  std::mutex slotMutex_;  // starting and stopping the worker; never taken by the worker
  std::unique_ptr<CThread> worker_;
  std::atomic<bool> hasWorker_{false};
  std::atomic<bool> workerLoopEnded_{false};
  mutable std::mutex requestMutex_;  // address and limits
  ManualResetEvent wake_;            // set when a request is queued
  std::string address_;
  TransferLimits limits_;
  std::atomic<int> status_{FetchIdle};
  std::atomic<int> phase_{PhaseIdle};
  std::mutex callerLock_;
};

}  // namespace pspkvx
