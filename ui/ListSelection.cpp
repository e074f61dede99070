#include "ui/ListSelection.h"

#include <algorithm>
#include <vector>

namespace pspkvx {

void ListSelection::Click(ListModel& list, std::optional<size_t> row, bool ctrl, bool shift) {
  std::optional<size_t> anchor = anchor_;
  list.Edit([&](std::vector<ListRow>& rows) {
    if (row && *row >= rows.size()) row.reset();
    if (!row) {
      if (!ctrl && !shift)
        for (ListRow& each : rows)
          each.selected = false;
      return;
    }
    if (shift) {
      // An anchor the rows no longer reach starts the range at the clicked row.
      const size_t from = anchor && *anchor < rows.size() ? *anchor : *row;
      const size_t first = std::min(from, *row);
      const size_t last = std::max(from, *row);
      for (size_t i = 0; i < rows.size(); ++i)
        if (i >= first && i <= last)
          rows[i].selected = true;
        else if (!ctrl)
          rows[i].selected = false;
      anchor = from;
      return;
    }
    if (ctrl) {
      rows[*row].selected = !rows[*row].selected;
    } else {
      for (size_t i = 0; i < rows.size(); ++i)
        rows[i].selected = i == *row;
    }
    anchor = row;
  });
  anchor_ = anchor;
}

}  // namespace pspkvx
