#include "ui/MessageBoxLayout.h"

#include <algorithm>

namespace pspkvx {

std::vector<int> MessageBoxButtonPositions(int count) {
  switch (count) {
    case 1:
      return {159};
    case 2:
      return {100, 199};
    case 3:
      return {50, 150, 250};
    case 4:
      return {10, 105, 200, 295};
    default:
      return {};
  }
}

MessageBoxRect MessageBoxTextRect(int width, int height) {
  return {30, 32, std::max(width - 60, 0), std::max(height - 70, 0)};
}

}  // namespace pspkvx
