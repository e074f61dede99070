#include "media/CatalogueAdd.h"

#include <filesystem>
#include <new>
#include <unordered_map>

#include "base/StringTable.h"
#include "media/MediaTypes.h"
#include "platform/Platform.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;

void Show(IMessageBoxHost* messages, int textId) {
  if (messages) ShowMessage(*messages, StringOf(textId));
}

// Marks a known path as just added, with what the file says now.
void Refresh(MediaCatalogue& catalogue, size_t index) {
  catalogue.Edit([&](std::vector<MediaEntry>& entries) {
    MediaEntry& entry = entries[index];
    if (const auto now = EntryOfFile(entry.path)) {
      entry.size = now->size;
      entry.modified = now->modified;
    }
    entry.state = EntryNew;
  });
}

AddOutcome AddOne(MediaCatalogue& catalogue, const std::string& path,
                  platform::LocalPathQuery& query, IMessageBoxHost* messages) {
  if (path.find_first_of("\r\n") != std::string::npos) {
    Show(messages, IDS_FILE_DATE_UNREADABLE);
    return AddOutcome::Failed;
  }
  std::optional<MediaEntry> entry = EntryOfFile(path, query);
  if (!entry) {
    Show(messages, IDS_FILE_DATE_UNREADABLE);
    return AddOutcome::Failed;
  }
  entry->state = EntryNew;
  try {
    catalogue.Append(std::move(*entry));
  } catch (const std::bad_alloc&) {
    Show(messages, IDS_FILE_LIST_OUT_OF_MEMORY);
    return AddOutcome::Failed;
  }
  return AddOutcome::Added;
}

}  // namespace

std::optional<MediaEntry> EntryOfFile(const std::string& path) {
  platform::LocalPathQuery query;
  return EntryOfFile(path, query);
}

std::optional<MediaEntry> EntryOfFile(const std::string& path, platform::LocalPathQuery& query) {
  const auto status = query(path);
  if (!status || status->kind == platform::PathKind::Other) return std::nullopt;
  MediaEntry entry;
  const bool folder = status->kind == platform::PathKind::Folder;
  entry.attributes = folder ? kAttributeFolder : 0;
  entry.size = static_cast<int64_t>(status->size);
  entry.modified = status->modifiedTime < 0 ? 0 : static_cast<uint32_t>(status->modifiedTime);
  entry.name = DisplayName(path, folder);
  entry.path = path;
  return entry;
}

AddOutcome AddEntry(MediaCatalogue& catalogue, const std::string& path, IMessageBoxHost* messages) {
  platform::LocalPathQuery query;
  const AddOutcome outcome = AddOne(catalogue, path, query, messages);
  if (outcome != AddOutcome::Added) return outcome;
  std::error_code error;
  if (!fs::is_directory(path, error)) return outcome;
  // The known paths, indexed once: a folder of many files is added in linear time. Only this
  // adds to the catalogue meanwhile, and it appends, so the indices stay.
  std::unordered_map<std::string, size_t> known;
  {
    const std::vector<MediaEntry> entries = catalogue.Entries();
    known.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
      known.emplace(platform::PathKey(entries[i].path), i);
  }
  // Everything below the folder, whatever its type; links to folders are not entered.
  for (fs::recursive_directory_iterator
           it(path, fs::directory_options::skip_permission_denied, error),
       end;
       !error && it != end; it.increment(error)) {
    // Pipes, sockets and devices are not media.
    std::error_code kindError;
    if (!it->is_regular_file(kindError) && !it->is_directory(kindError)) continue;
    const std::string item = it->path().string();
    const auto found = known.find(platform::PathKey(item));
    if (found != known.end()) {
      Refresh(catalogue, found->second);
      continue;
    }
    const size_t index = catalogue.Size();
    if (AddOne(catalogue, item, query, messages) == AddOutcome::Failed) break;
    known.emplace(platform::PathKey(item), index);
  }
  return outcome;
}

AddOutcome AddToCatalogue(MediaCatalogue& catalogue, int kind, const std::string& path,
                          IMessageBoxHost* messages) {
  // A chosen folder is taken whole, whatever its files' types.
  std::error_code error;
  if (!fs::is_directory(path, error) && !AcceptsFileType(kind, path))
    return AddOutcome::NotThisType;
  if (const auto known = catalogue.FindByPath(path)) {
    Refresh(catalogue, *known);
    return AddOutcome::Refreshed;
  }
  return AddEntry(catalogue, path, messages);
}

}  // namespace pspkvx
