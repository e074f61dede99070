#include "psp/psp_fixture.h"

namespace pspkvx::test {

int PollsUntilNotReady(CPspDrive& drive) {
  int polls = 0;
  while (drive.State() == PspReady && polls < 10) {
    drive.Poll();
    ++polls;
  }
  return polls;
}

}  // namespace pspkvx::test
