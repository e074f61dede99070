#include "saves/SaveRemoval.h"

#include "saves/SaveDiscovery.h"
#include "saves/SaveList.h"
#include "ui/StringTable.h"

namespace pspkvx {
namespace {

std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 1 && path.back() == platform::kPathSep)
    path.pop_back();
  return path;
}

// The save folder path of a row, or empty when its folder column is not a save folder name.
std::string SaveFolderOfRow(const SaveStick& stick, const ListModel& list, size_t index) {
  const std::string folder = list.Text(index, SaveColumnFolder);
  return IsSaveFolderName(folder) ? SaveFolderPath(stick.drive, folder) : "";
}

}  // namespace

int DeleteTree(const SaveStick& stick, const std::string& path) {
  const std::string folder = WithoutTrailingSeparator(path);
  const auto status = stick.platform.QueryPath(folder);
  if (status && status->kind != platform::PathKind::Folder) {
    // A link (or a file) where a folder was expected: remove it, not what it points to.
    if (stick.platform.RemoveFile(folder)) return 0;
    ShowSaveMessage(stick, StringOf(IDS_COULD_NOT_DELETE_FILE) + folder);
    return -1;
  }
  for (const platform::FolderEntry& entry : stick.platform.ListFolder(folder)) {
    const std::string child = platform::JoinPath(folder, entry.name);
    const auto childStatus = stick.platform.QueryPath(child);
    if (!childStatus) continue;  // gone meanwhile
    if (childStatus->kind == platform::PathKind::Folder) {
      if (DeleteTree(stick, child) != 0) return -1;
    } else if (!stick.platform.RemoveFile(child)) {
      ShowSaveMessage(stick, StringOf(IDS_COULD_NOT_DELETE_FILE) + child);
      return -1;
    }
  }
  if (!stick.platform.RemoveFolder(folder)) {
    ShowSaveMessage(stick, StringOf(IDS_COULD_NOT_DELETE_FOLDER) + folder);
    return -1;
  }
  return 0;
}

bool DeleteSelectedSaves(const SaveStick& stick, ListModel& list) {
  bool deleted = false;
  for (size_t from = 0; stick.drive.IsReady();) {
    const auto index = list.NextSelected(from);
    if (!index) break;
    const std::string path = SaveFolderOfRow(stick, list, *index);
    if (!path.empty()) {
      DeleteTree(stick, path);
      deleted = true;
    }
    list.Select(*index, false);
    stick.drive.RefreshFreeSpace();
    from = *index + 1;
  }
  return deleted;
}

SaveDeletion DeleteSaveWithQuestion(const SaveStick& stick, const ListModel& list, size_t index) {
  const auto row = list.Row(index);
  if (!stick.drive.IsReady() || !row || !row->selected) return SaveDeletion::NotDone;
  const std::string path = SaveFolderOfRow(stick, list, index);
  if (path.empty()) return SaveDeletion::NotDone;
  const std::string question =
      StringOf(IDS_DELETE_ENTIRE_SAVE) + "\r\n\r\n" + list.Text(index, SaveColumnFolder);
  SaveDeletion result = SaveDeletion::Kept;
  if (stick.platform.ListFolder(path).empty() || AskSaveQuestion(stick, question))
    result = DeleteTree(stick, path) == 0 ? SaveDeletion::Deleted : SaveDeletion::Failed;
  stick.drive.ProbeCurrentDrive();
  return result;
}

}  // namespace pspkvx
