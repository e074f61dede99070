// What the save operations that change the stick work with: the PSP's drive, the platform its
// files are reached through, and the message box that shows every message and question.
#pragma once

#include <string>

#include "base/MessageBox.h"
#include "platform/Platform.h"
#include "psp/PspDrive.h"

namespace pspkvx {

struct SaveStick {
  platform::Platform& platform;
  CPspDrive& drive;
  IMessageBoxHost& host;
};

}  // namespace pspkvx
