#include "ui/skin/ListColours.h"

namespace pspkvx {

RowColours ChooseRowColours(const ListColours& colours, bool enabled, bool selected) {
  if (!enabled) return selected ? colours.disabledSelected : colours.disabled;
  return selected ? colours.selected : colours.normal;
}

}  // namespace pspkvx
