// The pictures of the online lists: fetched in the background one at a time by the picture
// worker ThreadThumbs (kind 6), checked to be images, and kept for the cache's life so that a
// picture seen once shows at once the next time. Entries are found by their key, the file-name
// part of the picture's address, without regard to case.
//
// The online worker asks for pictures (GetThumbnail) and hands finished ones to its rows
// (ApplyThumbnails); the picture worker fills one entry per run. Entries are only ever added,
// under the cache's lock, and freed after the picture worker has ended.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/Thread.h"
#include "online/HttpTransport.h"

namespace pspkvx {

class ThumbnailCache : private IThreadOwner {
 public:
  // An image as its encoded bytes (PNG, JPEG, BMP or GIF: what any painter decodes).
  using Picture = std::shared_ptr<const std::string>;

  struct Lookup {
    Picture picture;  // null while it is waiting, or when it was given up
    std::string key;  // empty for an address without a file name
  };

  ThumbnailCache() = default;
  // Stops the picture worker and waits for it to end (its download ends at the stop event).
  ~ThumbnailCache() override;
  ThumbnailCache(const ThumbnailCache&) = delete;
  ThumbnailCache& operator=(const ThumbnailCache&) = delete;

  // The picture of an address, adding a waiting entry for a key not seen before. An empty
  // address, or one that ends in "/" or "\", has no key and gets no entry.
  Lookup GetThumbnail(const std::string& address);

  // Starts the picture worker for the first waiting entry when none runs; then hands every entry
  // finished since the last call to apply (its key and picture, null for one given up). True
  // when one was handed on.
  bool ApplyThumbnails(const std::function<void(const std::string& key, const Picture&)>& apply);

  // The key of an address: the text after its last "/" or "\" (the whole address without one).
  static std::string KeyOf(const std::string& address);
  // Whether two keys name one picture: equal without regard to case.
  static bool SameKey(const std::string& a, const std::string& b);

  size_t EntryCount() const;
  // Entries that still wait for their picture.
  size_t WaitingCount() const;
  bool WorkerRunning() const;

  void SetTransferLimits(const TransferLimits& limits);
  // How long an entry whose download failed waits before it is tried again.
  void SetRetryDelay(std::chrono::milliseconds delay);

 private:
  struct Entry {
    std::string key;
    std::string address;  // cleared when the entry is given up
    Picture picture;
    std::chrono::steady_clock::time_point notBefore{};  // after a failed download
  };

  void Scan();
  void RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t parameter) override;

  mutable std::mutex mutex_;  // the entries, the finished list and the limits
  std::vector<Entry> entries_;
  std::vector<size_t> finished_;
  TransferLimits limits_;
  std::chrono::milliseconds retryDelay_{2000};
  std::atomic_flag scanning_ = ATOMIC_FLAG_INIT;
  std::mutex workerMutex_;  // the worker slot
  std::unique_ptr<CThread> worker_;
  std::atomic<bool> workerBusy_{false};
};

}  // namespace pspkvx
