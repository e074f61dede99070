#include "media/PspSideScan.h"

#include <algorithm>

#include "media/MediaTypes.h"
#include "psp/StickLayout.h"

namespace pspkvx {
namespace {

enum class Wanted { Folders, Files };

// The items of folder of the wanted kind whose extension (for files) is one of extensions (in
// lower case; empty: any).
void AddItems(const PspStick& stick, const std::string& folder, Wanted wanted,
              const std::vector<std::string>& extensions, std::vector<MediaEntry>& out) {
  const platform::Platform& files = stick.Platform();
  for (const platform::FolderEntry& item : files.ListFolder(folder)) {
    if (item.name == "." || item.name == "..") continue;
    if ((wanted == Wanted::Folders) != item.isFolder) continue;
    if (wanted == Wanted::Files && !extensions.empty() &&
        std::find(extensions.begin(), extensions.end(), LowerExtension(item.name)) ==
            extensions.end())
      continue;
    MediaEntry entry;
    entry.path = platform::JoinPath(folder, item.name);
    entry.name = DisplayName(entry.path, item.isFolder);
    entry.attributes = item.isFolder ? kAttributeFolder : 0;
    if (const auto status = files.QueryPath(entry.path)) {
      entry.size = static_cast<int64_t>(status->size);
      entry.modified = status->modifiedTime < 0 ? 0 : static_cast<uint32_t>(status->modifiedTime);
    }
    out.push_back(std::move(entry));
  }
}

std::vector<std::string> LowerPhotoExtensions() {
  std::vector<std::string> lower;
  for (const std::string& extension : PhotoExtensions())
    lower.push_back(LowerExtension("." + extension));
  return lower;
}

}  // namespace

std::vector<MediaEntry> ScanPspSide(const PspStick& stick, int page, const std::string& group) {
  std::vector<MediaEntry> entries;
  if (!stick.Drive().IsReady()) return entries;
  switch (page) {
    case MediaVideo:
      for (const int kind : {StickMpeg4Video, StickAvcVideo}) {
        const std::string folder = stick.KindFolder(kind);
        if (!folder.empty()) AddItems(stick, folder, Wanted::Files, {"mp4"}, entries);
      }
      break;
    case MediaMusic:
    case MediaPhoto: {
      const std::string top = stick.KindFolder(page == MediaMusic ? StickMusic : StickPhotos);
      if (top.empty()) break;
      const std::string folder = group.empty() ? top : FindOnStick(stick.Platform(), top, group);
      static const std::vector<std::string> kMusic = {"mp3", "ac3"};
      static const std::vector<std::string> kPhotos = LowerPhotoExtensions();
      // Music groups hold no folders of their own; photo groups list theirs.
      if (page == MediaPhoto || group.empty())
        AddItems(stick, folder, Wanted::Folders, {}, entries);
      AddItems(stick, folder, Wanted::Files, page == MediaMusic ? kMusic : kPhotos, entries);
      break;
    }
    case kScanSavesPage:
    case kScanOnlinePage: {
      const std::string saves = stick.KindFolder(StickSaves);
      if (saves.empty()) break;
      AddItems(stick, saves, Wanted::Folders, {}, entries);
      entries.erase(std::remove_if(entries.begin(), entries.end(),
                                   [](const MediaEntry& e) { return e.name.rfind('.', 0) == 0; }),
                    entries.end());
      break;
    }
    default:
      break;
  }
  return entries;
}

}  // namespace pspkvx
