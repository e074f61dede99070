#include "saves/SaveRemoval.h"

#include "base/StringTable.h"
#include "saves/SaveDiscovery.h"

namespace pspkvx {
namespace {

std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 1 && path.back() == platform::kPathSep)
    path.pop_back();
  return path;
}

}  // namespace

int DeleteTree(const SaveStick& stick, const std::string& path) {
  const std::string folder = WithoutTrailingSeparator(path);
  const auto status = stick.platform.QueryPath(folder);
  if (status && status->kind != platform::PathKind::Folder) {
    // A link (or a file) where a folder was expected: remove it, not what it points to.
    if (stick.platform.RemoveFile(folder)) return 0;
    ShowMessage(stick.host, StringOf(IDS_COULD_NOT_DELETE_FILE) + folder);
    return -1;
  }
  for (const platform::FolderEntry& entry : stick.platform.ListFolder(folder)) {
    const std::string child = platform::JoinPath(folder, entry.name);
    const auto childStatus = stick.platform.QueryPath(child);
    if (!childStatus) continue;  // gone meanwhile
    if (childStatus->kind == platform::PathKind::Folder) {
      if (DeleteTree(stick, child) != 0) return -1;
    } else if (!stick.platform.RemoveFile(child)) {
      ShowMessage(stick.host, StringOf(IDS_COULD_NOT_DELETE_FILE) + child);
      return -1;
    }
  }
  if (!stick.platform.RemoveFolder(folder)) {
    ShowMessage(stick.host, StringOf(IDS_COULD_NOT_DELETE_FOLDER) + folder);
    return -1;
  }
  return 0;
}

SaveDeletion DeleteSaveFolder(const SaveStick& stick, const std::string& folderName, bool ask) {
  if (!stick.drive.IsReady() || !IsSaveFolderName(folderName)) return SaveDeletion::NotDone;
  const std::string path = SaveFolderPath(stick.drive, folderName);
  if (path.empty()) return SaveDeletion::NotDone;
  const std::string question = StringOf(IDS_DELETE_ENTIRE_SAVE) + "\r\n\r\n" + folderName;
  SaveDeletion result = SaveDeletion::Kept;
  if (!ask || stick.platform.ListFolder(path).empty() || AskYesNo(stick.host, question))
    result = DeleteTree(stick, path) == 0 ? SaveDeletion::Deleted : SaveDeletion::Failed;
  stick.drive.ProbeCurrentDrive();
  return result;
}

}  // namespace pspkvx
