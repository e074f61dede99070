#include "saves/SaveDiscovery.h"

#include "base/Names.h"
#include "psp/StickLayout.h"

namespace pspkvx {

bool IsSaveFolderName(const std::string& name) {
  return BareNameProblem(name).empty() && name[0] != '.';
}

std::string SaveDataFolder(const CPspDrive& drive) {
  const std::string root = drive.StickRoot();
  return root.empty() ? "" : root + StickFolder(StickSaves);
}

std::string SaveFolderPath(const CPspDrive& drive, const std::string& folderName) {
  const std::string folder = SaveDataFolder(drive);
  return folder.empty() ? "" : platform::JoinPath(folder, folderName);
}

std::vector<SaveEntry> ScanSaves(const platform::Platform& platform, const CPspDrive& drive) {
  std::vector<SaveEntry> entries;
  if (!drive.IsReady()) return entries;
  const std::string root = drive.StickRoot();
  if (root.empty()) return entries;
  // SAVEDATA as it is on the stick, so that every path a row gives (its icon) names the file.
  const std::string folder =
      FindOnStick(platform, root.substr(0, root.size() - 1), StickFolder(StickSaves));
  for (const platform::FolderEntry& entry : platform.ListFolder(folder)) {
    if (entry.name.empty() || entry.name[0] == '.' || !entry.isFolder) continue;
    SaveEntry save;
    save.name = entry.name;
    save.path = platform::JoinPath(folder, entry.name);
    if (const auto status = platform.QueryPath(save.path)) save.modifiedTime = status->modifiedTime;
    entries.push_back(std::move(save));
  }
  return entries;
}

std::string ReadSaveTitle(const platform::Platform& platform, const CPspDrive& drive,
                          const std::string& folderName) {
  const std::string folder = SaveFolderPath(drive, folderName);
  if (folder.empty()) return "";
  const auto bytes = platform.ReadFilePart(FindOnStick(platform, folder, kParamSfoName),
                                           kSaveTitleOffset, kSaveTitleBytes);
  if (!bytes) return "";
  return CleanText(bytes->substr(0, bytes->find('\0')), ' ').text;
}

FolderSizeResult FolderSize(const platform::Platform& platform, const std::string& path) {
  FolderSizeResult total;
  for (const platform::FolderEntry& entry : platform.ListFolder(path)) {
    const std::string child = platform::JoinPath(path, entry.name);
    const auto status = platform.QueryPath(child);
    if (!status) continue;
    if (status->kind == platform::PathKind::Folder) {
      const FolderSizeResult inner = FolderSize(platform, child);
      total.bytes += inner.bytes;
      total.files += inner.files;
    } else if (status->kind == platform::PathKind::File) {
      total.bytes += status->size;
      ++total.files;
    }
  }
  return total;
}

bool SaveExistsOnStick(const platform::Platform& platform, const CPspDrive& drive,
                       const std::string& folderName) {
  const std::string folder = SaveFolderPath(drive, folderName);
  return !folder.empty() && !platform.ListFolder(folder).empty();
}

}  // namespace pspkvx
