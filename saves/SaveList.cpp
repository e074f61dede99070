#include "saves/SaveList.h"

#include "base/DateText.h"
#include "base/StringTable.h"
#include "psp/StickLayout.h"

namespace pspkvx {

std::vector<SaveRow> BuildSaveRows(const platform::Platform& platform, const CPspDrive& drive,
                                   const std::vector<SaveEntry>& entries) {
  std::vector<SaveRow> rows;
  rows.reserve(entries.size());
  for (const SaveEntry& entry : entries) {
    SaveRow row;
    row.title = ReadSaveTitle(platform, drive, entry.name);
    row.folder = entry.name;
    row.date = DateTimeText(entry.modifiedTime);
    row.bytes = FolderSize(platform, entry.path).bytes;
    row.size = FormatSize(row.bytes);
    row.icon = FindOnStick(platform, entry.path, kSaveIconName);
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string EmptySaveListText(const CPspDrive& drive) {
  return StringOf(drive.IsReady() ? IDS_NO_SAVES_ON_PSP : IDS_NO_PSP_DETECTED);
}

}  // namespace pspkvx
