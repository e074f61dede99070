#include "psp/PspPolling.h"

namespace pspkvx {

void RunPspPolling(CPspDrive& drive, ManualResetEvent& stop, std::chrono::milliseconds interval) {
  while (!stop.IsSet()) {
    drive.Poll();
    if (stop.WaitFor(interval)) break;
  }
}

}  // namespace pspkvx
