#include "ui/ListSelection.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/skin/ListColours.h"

namespace pspkvx {
namespace {

// The selected flags as "x" and ".", row by row.
std::string Marks(const ListModel& list) {
  std::string marks;
  for (const ListRow& row : list.Rows())
    marks += row.selected ? 'x' : '.';
  return marks;
}

struct Click {
  std::optional<size_t> row;
  bool ctrl = false;
  bool shift = false;
  std::string after;
};

TEST(ListSelection, ClicksWithCtrlAndShift) {
  const std::vector<std::pair<std::string, std::vector<Click>>> sequences = {
      {"a click selects one row", {{2, false, false, "..x..."}, {4, false, false, "....x."}}},
      {"ctrl toggles",
       {{1, false, false, ".x...."}, {3, true, false, ".x.x.."}, {1, true, false, "...x.."}}},
      {"shift selects from the anchor, either way",
       {{2, false, false, "..x..."},
        {4, false, true, "..xxx."},
        {0, false, true, "xxx..."}}},  // the anchor stays at 2
      {"ctrl moves the anchor, ctrl+shift adds a range",
       {{0, false, false, "x....."},
        {3, true, false, "x..x.."},
        {5, true, true, "x..xxx"},
        {1, false, true, ".xxx.."}}},
      {"shift without an anchor selects the row",
       {{3, false, true, "...x.."}, {5, false, true, "...xxx"}}},
      {"a plain click below the rows clears, a ctrl click there does not",
       {{1, false, false, ".x...."},
        {std::nullopt, true, false, ".x...."},
        {std::nullopt, false, false, "......"}}},
      {"a row past the end counts as below the rows",
       {{0, false, false, "x....."}, {6, false, false, "......"}}},
  };
  for (const auto& [name, clicks] : sequences) {
    SCOPED_TRACE(name);
    ListModel list;
    list.SetRows(std::vector<ListRow>(6));
    ListSelection selection;
    for (const Click& click : clicks) {
      selection.Click(list, click.row, click.ctrl, click.shift);
      EXPECT_EQ(Marks(list), click.after);
    }
  }
}

TEST(ListSelection, AnAnchorTheShorterListNoLongerReachesStartsAtTheClick) {
  ListModel list;
  list.SetRows(std::vector<ListRow>(6));
  ListSelection selection;
  selection.Click(list, 5, false, false);
  list.SetRows(std::vector<ListRow>(3));
  selection.Click(list, 1, false, true);
  EXPECT_EQ(Marks(list), ".x.");
}

TEST(ListColours, TheDisabledPairForADisabledControlTheSelectedPairForASelectedRow) {
  ListColours colours;
  colours.normal = {1, 2};
  colours.selected = {3, 4};
  colours.disabled = {5, 6};
  colours.disabledSelected = {7, 8};
  EXPECT_EQ(ChooseRowColours(colours, true, false), (RowColours{1, 2}));
  EXPECT_EQ(ChooseRowColours(colours, true, true), (RowColours{3, 4}));
  EXPECT_EQ(ChooseRowColours(colours, false, false), (RowColours{5, 6}));
  EXPECT_EQ(ChooseRowColours(colours, false, true), (RowColours{7, 8}));
}

}  // namespace
}  // namespace pspkvx
