#include "ui/skin/ColumnLayout.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace pspkvx {
namespace {

TEST(ColumnLayout, SeparatorsUnderThePointer) {
  // Separators at 100 (column 1), 104 (column 2, narrow), 160 (column 4); column 3 is hidden.
  const std::vector<int> widths = {0, 100, 4, 0, 56};
  struct Case {
    int x;
    std::optional<size_t> column;
  };
  for (const Case& c :
       {Case{96, std::nullopt}, Case{97, 1}, Case{100, 1}, Case{101, 2}, Case{107, 2},
        Case{108, std::nullopt}, Case{0, std::nullopt}, Case{160, 4}, Case{164, std::nullopt}}) {
    EXPECT_EQ(ColumnSeparatorAt(widths, c.x), c.column) << c.x;
  }
  EXPECT_EQ(ColumnSeparatorAt({}, 0), std::nullopt);
  EXPECT_EQ(DraggedColumnWidth(100, 30), 130);
  EXPECT_EQ(DraggedColumnWidth(100, -200), kMinColumnWidth);
}

}  // namespace
}  // namespace pspkvx
