// The work of the detection worker (ThreadPollPsp, kind 0): a poll, then a pause, until the
// stop event is set. The pause ends early when the event is set, so the worker stops at once.
#pragma once

#include <chrono>

#include "base/ManualResetEvent.h"
#include "psp/PspDrive.h"

namespace pspkvx {

inline constexpr std::chrono::milliseconds kPspPollInterval{1000};

void RunPspPolling(CPspDrive& drive, ManualResetEvent& stop,
                   std::chrono::milliseconds interval = kPspPollInterval);

}  // namespace pspkvx
