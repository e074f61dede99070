// What the media operations that change the stick work with: the PSP's drive, the platform its
// files are reached through, the stick's paths and writes, the message box for every message
// and question, and the window's side of a transfer (status line, progress, the file and
// name dialogs). The operations run on the batch worker or the window thread; everything here
// may be called from either.
#pragma once

#include <string>

#include "base/MessageBox.h"
#include "platform/Platform.h"
#include "psp/PspDrive.h"
#include "psp/PspStick.h"

namespace pspkvx {

// The window's side of a media operation.
class IMediaWindow {
 public:
  virtual ~IMediaWindow() = default;
  // The status line (cut to 70 characters and "..." by the line itself); empty clears it.
  virtual void SetStatusText(const std::string& text) = 0;
  // The window's progress percentage, 0..100; the window repaints its status area.
  virtual void SetProgress(int percent) = 0;
  // The save dialog proposing a path (the overwrite question's Rename); empty when cancelled.
  virtual std::string ChooseSavePath(const std::string& proposed) = 0;
  // The name-entry dialog; empty when cancelled.
  virtual std::string AskName(const std::string& prompt, const std::string& initialName) = 0;
};

struct MediaStick {
  platform::Platform& platform;
  CPspDrive& drive;
  PspStick& files;
  IMessageBoxHost& host;
  IMediaWindow& window;
};

}  // namespace pspkvx
