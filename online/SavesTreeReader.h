// The reader of the saves tree's documents: folders, saves and their files as items, read from
// the service's tree reply with a reader of its own (not the TagTable). Lines beginning with
// "<?xml version" are dropped and the others joined; an element that holds further elements
// begins an item when its name is "folder", "save" or "file", and an element without inner
// elements fills a field of the item it stands in. The reader is bounded: nesting deeper than
// kMaxTreeDepth or more than kMaxTreeItems items make the document unreadable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pspkvx {

enum SavesTreeKind : int { TreeFolder = 1, TreeSave = 2, TreeFile = 3 };

inline constexpr char kEmptyTreeName[] = "< empty >";
inline constexpr size_t kMaxTreeDepth = 32;
inline constexpr size_t kMaxTreeItems = 20000;

struct SavesTreeItem {
  int kind = TreeFolder;
  std::string name;
  std::string description;
  std::string address;  // a folder's or save's "url", a file's "download_url"
  int64_t size = 0;     // a file's "download_size"
  std::string picture;  // "png"
  std::string date;     // "released" or "posted", the later element
  std::string author;
  std::string rating;
  std::string fileSize;  // "save_filesize"
  std::string titleId;   // "game_title_id" or "code_title_id", the later element
  std::string saveId;
  std::string gameName;
  bool placeholder = false;          // a save named "< empty >": nothing is there
  std::vector<SavesTreeItem> files;  // a save's files
};

struct SavesTreeDocument {
  std::vector<SavesTreeItem> items;
  std::string error;  // why the document could not be read; empty when it was
  bool ok() const { return error.empty(); }
};

SavesTreeDocument ReadSavesTree(std::string_view body);

}  // namespace pspkvx
