#include "ui/ListModel.h"

#include <gtest/gtest.h>

#include <thread>

namespace pspkvx {
namespace {

TEST(ListModel, RowsTextsAndSelection) {
  ListModel list;
  list.SetRows({{{"a", "1"}, "a.png", false}, {{"b", "2"}, "", true}, {{"c"}, "", false}});
  EXPECT_EQ(list.RowCount(), 3u);
  EXPECT_EQ(list.Text(0, 1), "1");
  EXPECT_EQ(list.Text(2, 1), "");  // a column the row does not have
  EXPECT_EQ(list.Text(3, 0), "");
  EXPECT_FALSE(list.Row(3));
  EXPECT_EQ(list.Row(0)->picturePath, "a.png");

  EXPECT_EQ(list.NextSelected(), 1u);
  EXPECT_FALSE(list.NextSelected(2));
  list.Select(2);
  list.Select(7);  // outside: ignored
  EXPECT_EQ(list.SelectedCount(), 2u);
  EXPECT_EQ(list.NextSelected(2), 2u);
  list.ClearSelection();
  EXPECT_EQ(list.SelectedCount(), 0u);
  list.SelectAll();
  EXPECT_EQ(list.SelectedCount(), 3u);

  const uint64_t revision = list.Revision();
  list.SetEmptyText("Nothing here");
  list.Clear();
  EXPECT_GT(list.Revision(), revision);
  EXPECT_EQ(list.RowCount(), 0u);
  EXPECT_EQ(list.EmptyText(), "Nothing here");
}

// A painter copying the rows while a worker rebuilds them never sees a half-built row.
TEST(ListModel, RowsAreChangedAndReadUnderTheListLock) {
  ListModel list;
  std::thread worker([&] {
    for (int k = 0; k < 200; ++k)
      list.SetRows({{{"title", "folder", std::to_string(k)}, "", false}});
  });
  for (int k = 0; k < 200; ++k)
    for (const ListRow& row : list.Rows())
      EXPECT_EQ(row.columns.size(), 3u);
  worker.join();
  EXPECT_EQ(list.Text(0, 2), "199");
}

}  // namespace
}  // namespace pspkvx
