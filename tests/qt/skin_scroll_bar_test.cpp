// The skinned scroll bar driven by real pointer events.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "qt/QtTestApp.h"
#include "ui/qt/SkinScrollBar.h"
#include "ui/skin/ButtonStates.h"

namespace pspkvx {
namespace {

using test::Move;
using test::Press;
using test::Release;

// A bar 16 x 232: arrows 0..16 and 216..232, track 16..216 (200 pixels).
class SkinScrollBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar_.resize(16, 232);
    bar_.SetRange(100, 25);  // maximum 75, page 25, thumb 50 pixels
  }

  QApplication& app_ = test::QtApp();  // before any widget
  SkinScrollBar bar_;
  QSignalSpy moves_{&bar_, &SkinScrollBar::PositionChanged};
};

TEST_F(SkinScrollBarTest, AHeldArrowRepeatsUntilReleased) {
  const QPoint down(8, 224);
  Press(&bar_, down);
  EXPECT_EQ(bar_.Position(), 1);  // at once
  EXPECT_EQ(bar_.PartState(ScrollPart::DownArrow), ButtonPressed);
  EXPECT_TRUE(test::ProcessEventsUntil([&] { return bar_.Position() >= 4; }));
  Release(&bar_, down);
  const int released = bar_.Position();
  QApplication::processEvents();
  test::ProcessEventsUntil([] { return false; }, 3 * SkinScrollBar::kRepeatDelayMs);
  EXPECT_EQ(bar_.Position(), released);
  EXPECT_EQ(bar_.PartState(ScrollPart::DownArrow), ButtonHot);
  ASSERT_GE(moves_.count(), 4);
  EXPECT_EQ(moves_.last().at(0).toInt(), released);

  // Up again to 0; then the up arrow does nothing and says nothing.
  while (bar_.LineUp()) {
  }
  const int sent = moves_.count();
  Press(&bar_, QPoint(8, 4));
  Release(&bar_, QPoint(8, 4));
  EXPECT_EQ(bar_.Position(), 0);
  EXPECT_EQ(moves_.count(), sent);
}

TEST_F(SkinScrollBarTest, TrackPressesPageAndTheThumbDrags) {
  Press(&bar_, QPoint(8, 150));  // below the thumb (16..66)
  Release(&bar_, QPoint(8, 150));
  EXPECT_EQ(bar_.Position(), 25);
  Press(&bar_, QPoint(8, 20));  // above the thumb, now at 66..116
  Release(&bar_, QPoint(8, 20));
  EXPECT_EQ(bar_.Position(), 0);

  // The thumb follows the pointer from where it was taken: 2 pixels per position.
  Press(&bar_, QPoint(8, 30));
  EXPECT_EQ(bar_.PartState(ScrollPart::Thumb), ButtonPressed);
  Move(&bar_, QPoint(8, 90), Qt::LeftButton);
  EXPECT_EQ(bar_.Position(), 30);
  Move(&bar_, QPoint(20, 400), Qt::LeftButton);  // far below and beside the bar
  EXPECT_EQ(bar_.Position(), 75);
  EXPECT_EQ(bar_.PartState(ScrollPart::Thumb), ButtonPressed);
  Release(&bar_, QPoint(20, 400));
  EXPECT_EQ(bar_.PartState(ScrollPart::Thumb), ButtonNormal);
}

TEST_F(SkinScrollBarTest, HoverAndAnInactiveBar) {
  Move(&bar_, QPoint(8, 4));
  EXPECT_EQ(bar_.PartState(ScrollPart::UpArrow), ButtonHot);
  Move(&bar_, QPoint(8, 30));
  EXPECT_EQ(bar_.PartState(ScrollPart::UpArrow), ButtonNormal);
  EXPECT_EQ(bar_.PartState(ScrollPart::Thumb), ButtonHot);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&bar_, &leave);
  EXPECT_EQ(bar_.PartState(ScrollPart::Thumb), ButtonNormal);

  bar_.SetPosition(40);
  moves_.clear();
  bar_.SetRange(10, 25);  // everything visible
  EXPECT_FALSE(bar_.IsActive());
  ASSERT_EQ(moves_.count(), 1);  // back to the top
  EXPECT_EQ(bar_.Position(), 0);
  for (const QPoint at : {QPoint(8, 224), QPoint(8, 100), QPoint(8, 4)}) {
    Press(&bar_, at);
    Release(&bar_, at);
  }
  EXPECT_FALSE(bar_.LineDown() || bar_.PageDown());
  EXPECT_EQ(bar_.Position(), 0);
  EXPECT_EQ(moves_.count(), 1);
}

}  // namespace
}  // namespace pspkvx
