#include "media/MediaCatalogue.h"

#include <algorithm>
#include <cctype>

#include "base/Names.h"
#include "platform/Platform.h"

namespace pspkvx {
namespace {

bool NameLess(const MediaEntry& a, const MediaEntry& b) {
  return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                      [](char x, char y) {
                                        return std::tolower(static_cast<unsigned char>(x)) <
                                               std::tolower(static_cast<unsigned char>(y));
                                      });
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
  std::stable_sort(entries_.begin(), entries_.end(), NameLess);
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
