#include "saves/SaveBackup.h"

#include "saves/ContainerWriter.h"
#include "saves/SaveDiscovery.h"

namespace pspkvx {

SaveBackupResult BackupSave(const platform::Platform& platform, const CPspDrive& drive,
                            const std::string& folder, const std::string& directory,
                            bool overwrite) {
  SaveBackupResult result;
  result.path = platform::JoinPath(directory, folder + kSaveFileExtension);
  if (!IsSaveFolderName(folder)) {
    result.error = "\"" + folder + "\" is not the name of a save folder";
    return result;
  }
  const std::string source = SaveFolderPath(drive, folder);
  const auto found = source.empty() ? std::nullopt : platform.QueryPath(source);
  if (!found || found->kind != platform::PathKind::Folder) {
    result.error = "there is no save \"" + folder + "\" on the memory stick";
    return result;
  }
  const auto target = platform.QueryPath(directory);
  if (!target || target->kind != platform::PathKind::Folder) {
    result.error = directory + " is not a folder";
    return result;
  }
  if (const auto existing = platform.QueryPath(result.path)) {
    if (existing->kind != platform::PathKind::File) {
      result.error = result.path + " is there and is not a file";
      return result;
    }
    if (!overwrite) {
      result.exists = true;
      result.error = result.path + " exists already";
      return result;
    }
  }
  std::string title = ReadSaveTitle(platform, drive, folder);
  if (title.empty() || !ContainerTitleProblem(title).empty()) title = folder;
  const ContainerWriteResult packed = PackSaveFolder(source, title);
  if (!packed.ok()) {
    result.error = packed.error;
    return result;
  }
  if (!platform::ReplaceFileAtomically(result.path, packed.container.data(),
                                       packed.container.size()))
    result.error = "could not write " + result.path;
  return result;
}

}  // namespace pspkvx
