// The colours of a report-style list's rows, GUI-free: text and background for normal and
// selected rows, each for the enabled and the disabled control (Windows colour values, see
// ui/skin/Colours.h).
#pragma once

#include <cstdint>

namespace pspkvx {

struct RowColours {
  uint32_t text = 0;
  uint32_t background = 0;
  bool operator==(const RowColours&) const = default;
};

struct ListColours {
  RowColours normal{0x1E1414, 0xFFFFFF};
  RowColours selected{0xFFFFFF, 0xA56E3A};
  RowColours disabled{0x808080, 0xF0F0F0};
  RowColours disabledSelected{0xF0F0F0, 0xA0A0A0};
};

// A disabled control draws its rows in the disabled pair, else the normal pair; a selected row
// takes the selected pair of that kind.
RowColours ChooseRowColours(const ListColours& colours, bool enabled, bool selected);

}  // namespace pspkvx
