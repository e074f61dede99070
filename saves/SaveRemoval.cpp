#include "saves/SaveRemoval.h"

#include "base/StringTable.h"
#include "psp/StickTree.h"
#include "saves/SaveDiscovery.h"

namespace pspkvx {

int DeleteTree(const SaveStick& stick, const std::string& path) {
  return DeleteStickTree(stick.platform, stick.host, path);
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
