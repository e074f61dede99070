// The report list's header, GUI-free: which column separator lies under the pointer, and the
// width a dragged column gets. Widths of 0 are hidden columns: they have no separator of their
// own, so they stay hidden.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace pspkvx {

inline constexpr int kMinColumnWidth = 8;
inline constexpr int kSeparatorGrip = 3;  // pixels either side of a separator

// The column whose right-hand separator lies within kSeparatorGrip of x; where two do (a narrow
// column), the later one, so that a narrow column can still be widened.
std::optional<size_t> ColumnSeparatorAt(const std::vector<int>& widths, int x);

// The width of a column dragged by travel pixels from startWidth, at least kMinColumnWidth.
int DraggedColumnWidth(int startWidth, int travel);

}  // namespace pspkvx
