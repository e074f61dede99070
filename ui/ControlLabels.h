// The text each button of the main window shows, by page where it differs.
#pragma once

#include <string>

namespace pspkvx {

// The label of a control on a page; empty for a control without a text (lists, the PSP status
// button, bars).
std::string ControlLabel(int control, int page);

}  // namespace pspkvx
