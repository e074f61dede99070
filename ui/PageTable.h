// Which controls each page of the main window shows: its two lists and its buttons. Every other
// control of the pages' sets is hidden while the page is current.
#pragma once

#include <vector>

#include "ui/Pages.h"

namespace pspkvx {

struct PageControls {
  int pcList;   // the left list (files on the PC; the saves tree on the saves page)
  int pspList;  // the right list (files on the PSP)
  std::vector<int> buttons;
};

// The controls of a page (PageVideo .. PageOnline).
const PageControls& ControlsOfPage(int page);

// Every list and button that some page shows: the set a page switch shows and hides.
const std::vector<int>& PageSwitchedControls();

// The tab button of a page, and the page of a tab button (-1 for another control).
int TabOfPage(int page);
int PageOfTab(int control);

}  // namespace pspkvx
