#include "ui/SaveListRows.h"

#include "saves/SaveList.h"

namespace pspkvx {

bool FillSaveList(const platform::Platform& platform, const CPspDrive& drive,
                  const std::vector<SaveEntry>& entries, ListModel& list,
                  std::atomic<bool>& needsRebuild) {
  if (!needsRebuild.exchange(false)) return false;
  std::vector<ListRow> rows;
  for (SaveRow& save : BuildSaveRows(platform, drive, entries)) {
    ListRow row;
    row.picturePath = save.icon;
    row.columns = {std::move(save.title), std::move(save.folder), std::move(save.date),
                   std::move(save.size), std::move(save.icon)};
    rows.push_back(std::move(row));
  }
  list.SetEmptyText(EmptySaveListText(drive));
  list.SetRows(std::move(rows));
  return true;
}

}  // namespace pspkvx
