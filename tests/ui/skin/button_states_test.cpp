#include "ui/skin/ButtonStates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pspkvx {
namespace {

enum class Event {
  MoveIn,
  MoveInDown,
  MoveOut,
  MoveOutDown,
  PressIn,
  PressOut,
  ReleaseIn,
  ReleaseOut,
  Lost
};

ButtonStep Apply(ButtonStates& button, Event event) {
  switch (event) {
    case Event::MoveIn:
      return button.PointerMoved(true, false);
    case Event::MoveInDown:
      return button.PointerMoved(true, true);
    case Event::MoveOut:
      return button.PointerMoved(false, false);
    case Event::MoveOutDown:
      return button.PointerMoved(false, true);
    case Event::PressIn:
      return button.LeftPressed(true);
    case Event::PressOut:
      return button.LeftPressed(false);
    case Event::ReleaseIn:
      return button.LeftReleased(true);
    case Event::ReleaseOut:
      return button.LeftReleased(false);
    case Event::Lost:
      return button.CaptureLost();
  }
  return {};
}

struct Expect {
  Event event;
  int state;
  CaptureChange capture;
  bool click;
};

constexpr auto None = CaptureChange::None;
constexpr auto Capture = CaptureChange::Capture;
constexpr auto Release = CaptureChange::Release;

struct Sequence {
  std::string name;
  std::vector<Expect> steps;
};

TEST(ButtonStates, PointerSequences) {
  const std::vector<Sequence> sequences = {
      {"hover, then leave",
       {{Event::MoveIn, 2, Capture, false},
        {Event::MoveIn, 2, None, false},
        {Event::MoveOut, 1, Release, false}}},
      {"a click inside sends the command once",
       {{Event::MoveIn, 2, Capture, false},
        {Event::PressIn, 3, None, false},
        {Event::MoveInDown, 3, None, false},
        {Event::ReleaseIn, 1, Release, true},
        {Event::MoveIn, 2, Capture, false}}},
      {"a press inside released outside sends nothing",
       {{Event::MoveIn, 2, Capture, false},
        {Event::PressIn, 3, None, false},
        {Event::MoveOutDown, 1, None, false},  // pressed: the capture is kept
        {Event::ReleaseOut, 1, Release, false}}},
      {"dragging out and back in shows the pressed face again and clicks",
       {{Event::PressIn, 3, Capture, false},
        {Event::MoveOutDown, 1, None, false},
        {Event::MoveInDown, 3, None, false},
        {Event::ReleaseIn, 1, Release, true}}},
      {"a press that began elsewhere is no press of the button",
       {{Event::MoveInDown, 2, Capture, false}, {Event::ReleaseIn, 2, Release, false}}},
      {"a press outside while captured unpresses",
       {{Event::MoveIn, 2, Capture, false},
        {Event::PressOut, 1, Release, false},
        {Event::ReleaseIn, 1, None, false}}},
      {"losing the capture while pressed drops the press",
       {{Event::PressIn, 3, Capture, false},
        {Event::Lost, 1, None, false},
        {Event::ReleaseIn, 1, None, false}}},
  };
  for (const Sequence& sequence : sequences) {
    SCOPED_TRACE(sequence.name);
    ButtonStates button;
    EXPECT_EQ(button.State(), ButtonNormal);
    for (size_t i = 0; i < sequence.steps.size(); ++i) {
      SCOPED_TRACE("step " + std::to_string(i));
      const Expect& expect = sequence.steps[i];
      const ButtonStep step = Apply(button, expect.event);
      EXPECT_EQ(step.state, expect.state);
      EXPECT_EQ(button.State(), expect.state);
      EXPECT_EQ(step.capture, expect.capture);
      EXPECT_EQ(step.click, expect.click);
    }
  }
}

TEST(ButtonStates, LabelColours) {
  EXPECT_EQ(LabelColour(ButtonNormal, true), 0x504040u);
  EXPECT_EQ(LabelColour(ButtonHot, true), 0xFA6045u);
  EXPECT_EQ(LabelColour(ButtonPressed, true), 0xFF7050u);
  EXPECT_EQ(LabelColour(ButtonPressed, false), 0xD0D0D0u);
}

}  // namespace
}  // namespace pspkvx
