#include "ui/PspStatusPanel.h"

#include <atomic>

#include "base/StringTable.h"

namespace pspkvx {

PspStatusPanel::TickResult PspStatusPanel::Tick() {
  TickResult result;
  const int state = drive_.State();
  if (drive_.IsIdle() && state != seenState_) {
    seenState_ = state;
    result.stateChanged = true;
    result.iconChanged = true;  // the face follows the state at once
    if (state == 1) drive_.ProbeCurrentDrive();
  }
  if (++tick_ >= kIconAnimationTicks) {
    tick_ = 0;
    if (NotReady(seenState_)) {
      phase_ = phase_ % kIconPhases + 1;
      result.iconChanged = true;
    } else if (phase_ != kIconPhases) {
      phase_ = kIconPhases;
      result.iconChanged = true;
    }
  }
  return result;
}

std::string PspStatusPanel::StatusText() const {
  const std::string letter(1, drive_.DriveLetter());
  switch (seenState_) {
    case PspReady:
      return StringOf(IDS_PSP_READY_ON_DRIVE) + " " + letter;
    case PspNotFound:
      if (std::atomic_ref<int32_t>(config_.SearchForPsp).load() == 0)
        return StringOf(IDS_PSP_NOT_PRESENT_ON_DRIVE) + " " + letter;
      return StringOf(IDS_CONNECT_PSP_VIA_USB);
    default:
      return StringOf(IDS_SEARCHING_FOR_PSP);
  }
}

PspStatusPanel::HelpAction PspStatusPanel::PressHelp() {
  if (helpPresses_ < 3) {
    ++helpPresses_;
    return drive_.IsReady() ? HelpNothing : HelpShowGuide;
  }
  helpPresses_ = 0;
  return HelpShowDevicePaths;
}

}  // namespace pspkvx
