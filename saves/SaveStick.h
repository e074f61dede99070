// What the save operations that change the stick work with: the PSP's drive, the platform its
// files are reached through, and the message box that shows every message and question.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "psp/PspDrive.h"
#include "ui/MessageBox.h"

namespace pspkvx {

struct SaveStick {
  platform::Platform& platform;
  CPspDrive& drive;
  IMessageBoxHost& host;
};

// Shows a message box of the type (the window's "message showing" flag set meanwhile) and
// returns the pressed button's result.
inline int ShowSaveMessage(const SaveStick& stick, const std::string& text, int type = MbOk) {
  stick.host.SetMessageShowing(true);
  const int result = stick.host.ShowMessageBox({text, type, {}});
  stick.host.SetMessageShowing(false);
  return result;
}

// Asks a Yes/No question; true for Yes.
inline bool AskSaveQuestion(const SaveStick& stick, const std::string& text) {
  return ShowSaveMessage(stick, text, MbYesNo) == ResultYes;
}

}  // namespace pspkvx
