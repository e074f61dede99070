#include "online/ThumbnailCache.h"

#include <strings.h>

#include <algorithm>
#include <span>
#include <string_view>

#include "media/ImageLibrary.h"
#include "online/FileDownload.h"

namespace pspkvx {
namespace {

// PNG, JPEG, BMP and GIF, by their signatures.
bool CommonlyDecoded(std::span<const uint8_t> body) {
  const std::string_view start(reinterpret_cast<const char*>(body.data()),
                               std::min<size_t>(body.size(), 8));
  return start.starts_with("\x89PNG") || start.starts_with("\xFF\xD8") || start.starts_with("BM") ||
         start.starts_with("GIF8");
}

// The body as a picture any painter decodes: the bytes themselves for the common formats, else
// the decoded image as PNG. Null when the body is not an image.
ThumbnailCache::Picture PictureOf(std::span<const uint8_t> body) {
  if (body.empty()) return nullptr;
  image::Bitmap bitmap = image::DecodeImage(body);
  if (!bitmap) return nullptr;
  if (CommonlyDecoded(body)) return std::make_shared<const std::string>(body.begin(), body.end());
  image::Bitmap standard = image::ToStandardBitmap(std::move(bitmap));
  if (!standard) return nullptr;
  const std::vector<uint8_t> png = image::EncodeImage(standard.get(), FIF_PNG);
  if (png.empty()) return nullptr;
  return std::make_shared<const std::string>(png.begin(), png.end());
}

}  // namespace

ThumbnailCache::~ThumbnailCache() {
  std::lock_guard<std::mutex> slot(workerMutex_);
  CThread::StopAndDelete(std::move(worker_), 0);
}

bool ThumbnailCache::SameKey(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string ThumbnailCache::KeyOf(const std::string& address) {
  const size_t slash = address.find_last_of("/\\");
  return slash == std::string::npos ? address : address.substr(slash + 1);
}

ThumbnailCache::Lookup ThumbnailCache::GetThumbnail(const std::string& address) {
  Lookup lookup;
  lookup.key = KeyOf(address);
  if (lookup.key.empty()) return lookup;
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Entry& entry : entries_) {
    if (SameKey(entry.key, lookup.key)) {
      lookup.picture = entry.picture;
      return lookup;
    }
  }
  entries_.push_back(Entry{lookup.key, address, nullptr, {}});
  return lookup;
}

void ThumbnailCache::Scan() {
  if (scanning_.test_and_set()) return;
  {
    std::lock_guard<std::mutex> slot(workerMutex_);
    if (worker_ && !workerBusy_.load()) worker_.reset();
    if (!worker_) {
      size_t next = SIZE_MAX;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto now = std::chrono::steady_clock::now();
        for (size_t i = 0; i < entries_.size() && next == SIZE_MAX; ++i)
          if (!entries_[i].picture && !entries_[i].address.empty() && entries_[i].notBefore <= now)
            next = i;
      }
      if (next != SIZE_MAX) {
        workerBusy_ = true;
        worker_ = CThread::Start(this, ThreadThumbs, next, {}, ThreadPriorityBelowNormal);
        if (!worker_) workerBusy_ = false;
      }
    }
  }
  scanning_.clear();
}

bool ThumbnailCache::ApplyThumbnails(
    const std::function<void(const std::string& key, const Picture&)>& apply) {
  Scan();
  std::vector<std::pair<std::string, Picture>> done;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const size_t index : finished_)
      done.emplace_back(entries_[index].key, entries_[index].picture);
    finished_.clear();
  }
  for (const auto& [key, picture] : done)
    apply(key, picture);
  return !done.empty();
}

void ThumbnailCache::RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t parameter) {
  if (kind != ThreadThumbs) return;
  const size_t index = parameter;
  std::string address;
  FileDownload download;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    address = entries_[index].address;
    download.SetTransferLimits(limits_);
  }
  if (!stop.IsSet()) {
    const int got = download.DownloadFile(address, &stop);
    const std::vector<uint8_t>* result = download.Result();
    if (stop.IsSet()) {
      // Stopped: the entry waits, untouched.
    } else if (got == 1 && result) {
      Picture picture = PictureOf(std::span<const uint8_t>(*result).subspan(4));
      std::lock_guard<std::mutex> lock(mutex_);
      Entry& entry = entries_[index];
      entry.picture = std::move(picture);
      if (!entry.picture) entry.address.clear();  // not an image: never asked for again
      finished_.push_back(index);
    } else {
      std::lock_guard<std::mutex> lock(mutex_);
      entries_[index].notBefore = std::chrono::steady_clock::now() + retryDelay_;
    }
  }
  workerBusy_ = false;
}

size_t ThumbnailCache::EntryCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}

size_t ThumbnailCache::WaitingCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  size_t waiting = 0;
  for (const Entry& entry : entries_)
    waiting += !entry.picture && !entry.address.empty();
  return waiting;
}

bool ThumbnailCache::WorkerRunning() const {
  return workerBusy_.load();
}

void ThumbnailCache::SetRetryDelay(std::chrono::milliseconds delay) {
  std::lock_guard<std::mutex> lock(mutex_);
  retryDelay_ = delay;
}

void ThumbnailCache::SetTransferLimits(const TransferLimits& limits) {
  std::lock_guard<std::mutex> lock(mutex_);
  limits_ = limits;
}

}  // namespace pspkvx
