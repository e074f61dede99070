#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/Platform.h"

namespace pspkvx::platform {

// Linux keeps a nice value per thread; it stands in for the Windows thread priorities.
void SetCurrentThreadPriority(int priority) {
  int nice = 0;
  if (priority < 0) nice = 5;
  if (priority > 0) nice = -2;
  const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
  ::setpriority(PRIO_PROCESS, tid, nice);  // raising may be refused without privilege: keep as is
}

}  // namespace pspkvx::platform
