// The media catalogues: the user's collection of files on the PC behind each media page's left
// list, and the files on the stick behind its right list. An entry keeps the file's display
// name, whole path, size, modification time and attributes, and whether it was just added.
//
// A catalogue is read and changed by the window thread, the batch worker and the list worker:
// every member takes its lock, and readers get copies.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace pspkvx {

inline constexpr uint8_t kAttributeFolder = 0x10;
// Display names are cut, keeping the extension, to these lengths; paths are never cut.
inline constexpr size_t kMaxFileNameChars = 258;
inline constexpr size_t kMaxFolderNameChars = 260;

enum EntryState : int {
  EntryListed = 1,
  EntryNew = 2,  // just added or refreshed: its row is selected at the next redraw
};

struct MediaEntry {
  uint8_t attributes = 0;
  int64_t size = 0;
  uint32_t modified = 0;  // seconds since 1970 UTC
  std::string name;       // the display name
  std::string path;       // the whole path
  int state = EntryListed;
  bool IsFolder() const { return (attributes & kAttributeFolder) != 0; }
};

// The last component of a path (after its last "\" or "/"), cut keeping its extension to 258
// characters for a file and 260 for a folder.
std::string DisplayName(const std::string& path, bool folder);

class MediaCatalogue {
 public:
  std::vector<MediaEntry> Entries() const;
  size_t Size() const;
  std::optional<MediaEntry> At(size_t index) const;
  // The index of the entry of a path (as the system compares paths), or none.
  std::optional<size_t> FindByPath(const std::string& path) const;

  void Append(MediaEntry entry);
  void Replace(std::vector<MediaEntry> entries);
  void Clear() { Replace({}); }
  // Removes the entry at index (the file on disk stays); false for an index out of range.
  bool Remove(size_t index);
  // Ascending by name, letter case ignored; entries of equal names keep their order.
  void Sort();
  // Every entry in state 2 goes to state 1.
  void SettleNewEntries();
  // Several changes at once under the lock.
  void Edit(const std::function<void(std::vector<MediaEntry>&)>& change);
  // Counts every change, so that a list knows when to rebuild its rows.
  uint64_t Revision() const;

 private:
  mutable std::mutex mutex_;
  std::vector<MediaEntry> entries_;
  uint64_t revision_ = 0;
};

}  // namespace pspkvx
