// The running program's version; PSPKVX_VERSION comes from the build.
#include "base/ProgramEnvironment.h"

namespace pspkvx {

int ProgramVersion() {
  return PSPKVX_VERSION;
}

}  // namespace pspkvx
