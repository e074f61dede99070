// The skinned button's pointer logic, GUI-free: the face state (1 normal, 2 hot, 3 pressed),
// the pointer capture it wants and when a click is to be sent. The widget feeds it the pointer
// events and acts on each step's result; the painter draws the face of State().
#pragma once

#include <cstdint>

namespace pspkvx {

enum ButtonState : int {
  ButtonNormal = 1,
  ButtonHot = 2,  // the pointer is over the button
  ButtonPressed = 3,
};

// What the widget does with the pointer capture after a step.
enum class CaptureChange { None, Capture, Release };

struct ButtonStep {
  int state = ButtonNormal;
  CaptureChange capture = CaptureChange::None;
  bool click = false;  // send the button's command
};

class ButtonStates {
 public:
  // The pointer moved; inside: over the button; leftDown: the left button is held.
  ButtonStep PointerMoved(bool inside, bool leftDown);
  ButtonStep LeftPressed(bool inside);
  ButtonStep LeftReleased(bool inside);
  // The capture went elsewhere (the window lost it, the button was hidden or disabled).
  ButtonStep CaptureLost();

  int State() const { return state_; }
  bool Pressed() const { return pressed_; }
  bool Captured() const { return captured_; }

 private:
  ButtonStep Step(int state, bool capture, bool release, bool click);

  int state_ = ButtonNormal;
  bool pressed_ = false;
  bool captured_ = false;
};

// The label colours of the button faces (Windows colour values, see ui/skin/Colours.h).
inline constexpr uint32_t kLabelNormal = 0x504040;
inline constexpr uint32_t kLabelHot = 0xFA6045;
inline constexpr uint32_t kLabelPressed = 0xFF7050;
inline constexpr uint32_t kLabelDisabled = 0xD0D0D0;

// The label colour of a face state (1..3; anything else counts as normal).
uint32_t LabelColour(int state, bool enabled);

}  // namespace pspkvx
