#include "ui/skin/ColumnLayout.h"

#include <algorithm>
#include <cstdlib>

namespace pspkvx {

std::optional<size_t> ColumnSeparatorAt(const std::vector<int>& widths, int x) {
  long long right = 0;
  std::optional<size_t> found;
  for (size_t column = 0; column < widths.size(); ++column) {
    if (widths[column] <= 0) continue;
    right += widths[column];
    if (std::llabs(x - right) <= kSeparatorGrip) found = column;
  }
  return found;
}

int DraggedColumnWidth(int startWidth, int travel) {
  const long long width = static_cast<long long>(startWidth) + travel;
  return static_cast<int>(std::clamp<long long>(width, kMinColumnWidth, 1 << 20));
}

}  // namespace pspkvx
