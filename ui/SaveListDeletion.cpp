#include "ui/SaveListDeletion.h"

#include "saves/SaveDiscovery.h"
#include "ui/SaveListRows.h"

namespace pspkvx {
namespace {

// The save folder name of a row, or empty when its folder column is not a save folder name.
std::string SaveFolderOfRow(const ListModel& list, size_t index) {
  const std::string folder = list.Text(index, SaveColumnFolder);
  return IsSaveFolderName(folder) ? folder : "";
}

}  // namespace

bool DeleteSelectedSaves(const SaveStick& stick, ListModel& list) {
  bool deleted = false;
  for (size_t from = 0; stick.drive.IsReady();) {
    const auto index = list.NextSelected(from);
    if (!index) break;
    const std::string folder = SaveFolderOfRow(list, *index);
    if (!folder.empty()) {
      DeleteTree(stick, SaveFolderPath(stick.drive, folder));
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
  return DeleteSaveFolder(stick, SaveFolderOfRow(list, index), /*ask=*/true);
}

}  // namespace pspkvx
