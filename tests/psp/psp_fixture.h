// Helpers shared by the detector's tests.
#pragma once

#include "psp/PspDrive.h"

namespace pspkvx::test {

// Polls a ready detector until it is no longer ready (at most ten polls); returns the number of
// polls that took.
int PollsUntilNotReady(CPspDrive& drive);

}  // namespace pspkvx::test
