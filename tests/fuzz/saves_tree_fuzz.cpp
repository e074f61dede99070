// The saves tree's reader over arbitrary documents: it stays bounded (depth, items), and a
// document it refuses gives no items.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "online/SavesTreeReader.h"

namespace {

size_t Count(const std::vector<pspkvx::SavesTreeItem>& items) {
  size_t count = items.size();
  for (const pspkvx::SavesTreeItem& item : items)
    count += Count(item.files);
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const pspkvx::SavesTreeDocument document =
      pspkvx::ReadSavesTree(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!document.ok() && !document.items.empty()) std::abort();
  if (Count(document.items) > pspkvx::kMaxTreeItems) std::abort();
  for (const pspkvx::SavesTreeItem& item : document.items)
    if (item.kind < pspkvx::TreeFolder || item.kind > pspkvx::TreeFile) std::abort();
  return 0;
}
