// What the save operations that change the stick work with: the PSP's drive, the platform its
// files are reached through, the stick's files, and the message box that shows every message
// and question.
#pragma once

#include <string>

#include "base/MessageBox.h"
#include "platform/Platform.h"
#include "psp/PspDrive.h"
#include "psp/PspStick.h"

namespace pspkvx {

struct SaveStick {
  platform::Platform& platform;
  CPspDrive& drive;
  PspStick& files;
  IMessageBoxHost& host;
};

}  // namespace pspkvx
