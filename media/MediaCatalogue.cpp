#include "media/MediaCatalogue.h"

#include <algorithm>
#include <cctype>

#include "base/Names.h"
#include "platform/Platform.h"

namespace pspkvx {
namespace {

// The name as the sort compares it: every byte lowered once, so a sort of n entries lowers n
// names instead of two per comparison.
std::string SortKey(const std::string& name) {
  std::string key = name;
  for (char& c : key)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

}  // namespace

std::string DisplayName(const std::string& path, bool folder) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && IsNameSeparator(trimmed.back()))
    trimmed.pop_back();
  const size_t cut = trimmed.find_last_of("\\/");
  std::string name = cut == std::string::npos ? trimmed : trimmed.substr(cut + 1);
  const size_t limit = folder ? kMaxFolderNameChars : kMaxFileNameChars;
  if (name.size() <= limit) return name;
  const size_t dot = name.find_last_of('.');
  const std::string extension =
      dot == std::string::npos || name.size() - dot >= limit ? "" : name.substr(dot);
  return name.substr(0, limit - extension.size()) + extension;
}

std::vector<MediaEntry> MediaCatalogue::Entries() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_;
}

size_t MediaCatalogue::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}

std::optional<MediaEntry> MediaCatalogue::At(size_t index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index >= entries_.size()) return std::nullopt;
  return entries_[index];
}

std::optional<size_t> MediaCatalogue::FindByPath(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < entries_.size(); ++i)
    if (platform::SamePath(entries_[i].path, path)) return i;
  return std::nullopt;
}

void MediaCatalogue::Append(MediaEntry entry) {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.push_back(std::move(entry));
  ++revision_;
}

void MediaCatalogue::Replace(std::vector<MediaEntry> entries) {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_ = std::move(entries);
  ++revision_;
}

bool MediaCatalogue::Remove(size_t index) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index >= entries_.size()) return false;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  ++revision_;
  return true;
}

void MediaCatalogue::Sort() {
  std::lock_guard<std::mutex> lock(mutex_);
  // Ascending by name without regard to case; equal names keep their order (the index breaks
  // the tie). Bytes compare as unsigned, as std::string compares them.
  std::vector<std::pair<std::string, size_t>> keys;
  keys.reserve(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i)
    keys.emplace_back(SortKey(entries_[i].name), i);
  std::sort(keys.begin(), keys.end());
  std::vector<MediaEntry> sorted;
  sorted.reserve(entries_.size());
  for (const auto& key : keys)
    sorted.push_back(std::move(entries_[key.second]));
  entries_ = std::move(sorted);
  ++revision_;
}

void MediaCatalogue::SettleNewEntries() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (MediaEntry& entry : entries_)
    if (entry.state == EntryNew) entry.state = EntryListed;
  ++revision_;
}

void MediaCatalogue::Edit(const std::function<void(std::vector<MediaEntry>&)>& change) {
  std::lock_guard<std::mutex> lock(mutex_);
  change(entries_);
  ++revision_;
}

uint64_t MediaCatalogue::Revision() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return revision_;
}

}  // namespace pspkvx
