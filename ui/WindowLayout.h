// The main window's layout rules: the title buttons follow the right edge, the bottom row the
// bottom, the two lists of a page share the extra width equally and take all the extra height,
// and the centre column stays centred.
#pragma once

#include "ui/skin/ControlLayout.h"

namespace pspkvx {

// The rules, starting from the window's size at registration (the skin's 740 x 520).
ControlLayout MainWindowLayout(SkinSize size = {740, 520});

}  // namespace pspkvx
