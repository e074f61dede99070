// The main window's view of the PSP detector, GUI-free: what its 300 ms timer does with the
// detector's state (taken only while the detector is idle, so a half-finished poll is never
// shown), the status text by state and search mode, the connection icon's animation, the
// free-space text and bar, whether the PSP-side commands may run, and the PSP help button's
// press counter.
#pragma once

#include <string>

#include "app/AppConfig.h"
#include "psp/PspDrive.h"

namespace pspkvx {

inline constexpr int kIconAnimationTicks = 7;  // the icon moves every seventh tick
inline constexpr int kIconPhases = 3;

class PspStatusPanel {
 public:
  PspStatusPanel(CPspDrive& drive, AppConfig& config) : drive_(drive), config_(config) {}

  struct TickResult {
    bool stateChanged = false;  // the window refreshes its lists and the status area
    bool iconChanged = false;   // the window repaints the connection icon
  };
  // One timer tick (window thread).
  TickResult Tick();

  // The state seen by the last tick that took one (0 before any).
  int SeenState() const { return seenState_; }
  // "PSP ready on drive P", "PSP not present on drive P" (fixed drive), "Please connect PSP
  // via usb" (search), or "Searching for PSP...".
  std::string StatusText() const;
  // The icon's face: connected while ready, else one of three searching frames (IconPhase).
  bool IconConnected() const { return !NotReady(seenState_); }
  int IconPhase() const { return phase_; }
  // The free-space text and bar show only while ready.
  bool ShowsFreeSpace() const { return seenState_ == PspReady; }
  std::string FreeSpaceText() const { return drive_.FreeSpaceText(); }
  int FreeSpaceFill() const { return drive_.UsedPercent(); }
  // The PSP-side commands (delete from the stick and the like) run only while ready and no
  // transfer is running.
  bool PspCommandsEnabled(bool transferRunning) const {
    return seenState_ == PspReady && !transferRunning;
  }

  // The PSP help button: three presses show the connection guide (while the PSP is not
  // ready), the fourth shows the USB device paths and the program folder and starts over.
  enum HelpAction { HelpNothing, HelpShowGuide, HelpShowDevicePaths };
  HelpAction PressHelp();

 private:
  // States in which the icon animates (1 is a state the window may set from outside).
  static bool NotReady(int state) { return state == 0 || state == 1 || state == PspNotFound; }

  CPspDrive& drive_;
  AppConfig& config_;
  int seenState_ = PspSearching;
  int tick_ = 0;   // 0..6
  int phase_ = 1;  // 1..3
  int helpPresses_ = 0;
};

}  // namespace pspkvx
