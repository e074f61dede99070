#include "media/CatalogueAdd.h"

#include <chrono>
#include <filesystem>
#include <new>

#include "base/StringTable.h"
#include "media/MediaTypes.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;

uint32_t SecondsSince1970(fs::file_time_type time) {
  const auto system = std::chrono::file_clock::to_sys(time);
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
  return seconds < 0 ? 0 : static_cast<uint32_t>(seconds);
}

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

AddOutcome AddOne(MediaCatalogue& catalogue, const std::string& path, IMessageBoxHost* messages) {
  if (path.find_first_of("\r\n") != std::string::npos) {
    Show(messages, IDS_FILE_DATE_UNREADABLE);
    return AddOutcome::Failed;
  }
  std::optional<MediaEntry> entry = EntryOfFile(path);
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
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status)) return std::nullopt;
  MediaEntry entry;
  const bool folder = fs::is_directory(status);
  entry.attributes = folder ? kAttributeFolder : 0;
  if (!folder) {
    const uintmax_t size = fs::file_size(path, error);
    if (error) return std::nullopt;
    entry.size = static_cast<int64_t>(size);
  }
  const fs::file_time_type time = fs::last_write_time(path, error);
  if (error) return std::nullopt;
  entry.modified = SecondsSince1970(time);
  entry.name = DisplayName(path, folder);
  entry.path = path;
  return entry;
}

AddOutcome AddEntry(MediaCatalogue& catalogue, const std::string& path, IMessageBoxHost* messages) {
  const AddOutcome outcome = AddOne(catalogue, path, messages);
  if (outcome != AddOutcome::Added) return outcome;
  std::error_code error;
  if (!fs::is_directory(path, error)) return outcome;
  // Everything below the folder, whatever its type; links to folders are not entered.
  for (fs::recursive_directory_iterator
           it(path, fs::directory_options::skip_permission_denied, error),
       end;
       !error && it != end; it.increment(error)) {
    const std::string item = it->path().string();
    if (const auto known = catalogue.FindByPath(item))
      Refresh(catalogue, *known);
    else if (AddOne(catalogue, item, messages) == AddOutcome::Failed)
      break;
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
