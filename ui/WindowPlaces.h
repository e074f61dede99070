// Where every control of the main window sits at the skin's size (740 x 520): the title
// buttons in the caption band, the tabs below it, the PSP row, the two lists with the centre
// column between them, the buttons under the lists, the free space, the progress and the status
// line in the bottom band. MainWindowLayout moves them from here as the window's size changes.
#pragma once

#include <map>

#include "ui/skin/SkinRect.h"

namespace pspkvx {

// Every control's rectangle at 740 x 520, in pixels relative to the window.
const std::map<int, SkinRect>& MainWindowPlaces();

// A control's rectangle on a page, given where the layout rules have put it (laidOut, moved
// from its MainWindowPlaces rectangle): the photo page shows its four modes, whose labels are
// long, on taller buttons over the rows of the six quality steps, moved as the steps are.
SkinRect PagePlace(int page, int id, const SkinRect& laidOut);

}  // namespace pspkvx
