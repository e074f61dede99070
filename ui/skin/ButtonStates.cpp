#include "ui/skin/ButtonStates.h"

namespace pspkvx {

ButtonStep ButtonStates::Step(int state, bool capture, bool release, bool click) {
  ButtonStep step;
  if (capture && !captured_) step.capture = CaptureChange::Capture;
  if (release && captured_) step.capture = CaptureChange::Release;
  if (capture) captured_ = true;
  if (release) captured_ = false;
  state_ = state;
  step.state = state;
  step.click = click;
  return step;
}

ButtonStep ButtonStates::PointerMoved(bool inside, bool leftDown) {
  if (inside) return Step(leftDown && pressed_ ? ButtonPressed : ButtonHot, true, false, false);
  // Outside: a pressed button keeps the capture, so that the release is still seen.
  return Step(ButtonNormal, false, !pressed_, false);
}

ButtonStep ButtonStates::LeftPressed(bool inside) {
  pressed_ = inside;
  if (inside) return Step(ButtonPressed, true, false, false);
  return Step(ButtonNormal, false, true, false);
}

ButtonStep ButtonStates::LeftReleased(bool inside) {
  if (!pressed_) return Step(state_, false, true, false);
  pressed_ = false;
  return Step(ButtonNormal, false, true, inside);
}

ButtonStep ButtonStates::CaptureLost() {
  pressed_ = false;
  captured_ = false;
  state_ = ButtonNormal;
  return {ButtonNormal, CaptureChange::None, false};
}

uint32_t LabelColour(int state, bool enabled) {
  if (!enabled) return kLabelDisabled;
  switch (state) {
    case ButtonHot:
      return kLabelHot;
    case ButtonPressed:
      return kLabelPressed;
    default:
      return kLabelNormal;
  }
}

}  // namespace pspkvx
