// The lists' selection by pointer, GUI-free: a click selects one row, Ctrl-click toggles a row,
// Shift-click selects the rows from the anchor (the row of the last click without Shift) to the
// clicked one, Ctrl+Shift-click adds them. A plain click below the rows clears the selection.
// Each click changes the model in one step under its list lock.
#pragma once

#include <cstddef>
#include <optional>

#include "ui/ListModel.h"

namespace pspkvx {

class ListSelection {
 public:
  // A left click on row (none: not on a row).
  void Click(ListModel& list, std::optional<size_t> row, bool ctrl, bool shift);
  std::optional<size_t> Anchor() const { return anchor_; }
  void Reset() { anchor_.reset(); }

 private:
  std::optional<size_t> anchor_;
};

}  // namespace pspkvx
