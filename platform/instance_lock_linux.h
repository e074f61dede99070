// Single running instance on Linux: an exclusive lock on a file named by the program, plus a
// Unix-domain socket on which the first instance listens for "bring your window forward".
// Both live in $XDG_RUNTIME_DIR (else /tmp), named "<name>-<uid>.lock" and "<name>-<uid>.sock".
#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace pspkvx::platform {

std::unique_ptr<InstanceLock> AcquireLinuxInstanceLock(const std::string& name);
bool AskLinuxInstanceToRaise(const std::string& name);

}  // namespace pspkvx::platform
