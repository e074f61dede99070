// The skinned buttons driven by real pointer and key events.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "qt/QtTestApp.h"
#include "ui/qt/SkinButton.h"
#include "ui/qt/StatusButton.h"

namespace pspkvx {
namespace {

using test::Move;
using test::Press;
using test::Release;

class SkinButtonTest : public ::testing::Test {
 protected:
  void SetUp() override { button_.resize(100, 30); }

  QApplication& app_ = test::QtApp();  // before any widget
  SkinButton button_{1003, "Exit"};
  QSignalSpy commands_{&button_, &SkinButton::Command};
  const QPoint inside_{50, 15};
  const QPoint outside_{150, 15};
};

TEST_F(SkinButtonTest, AClickInsideSendsItsIdOnceWithTheStatesOnTheWay) {
  EXPECT_EQ(button_.ControlId(), 1003);
  Move(&button_, inside_);
  EXPECT_EQ(button_.State(), ButtonHot);
  Press(&button_, inside_);
  EXPECT_EQ(button_.State(), ButtonPressed);
  EXPECT_EQ(commands_.count(), 0);
  Release(&button_, inside_);
  ASSERT_EQ(commands_.count(), 1);
  EXPECT_EQ(commands_.at(0).at(0).toInt(), 1003);
  EXPECT_EQ(button_.State(), ButtonNormal);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&button_, &leave);
  EXPECT_EQ(button_.State(), ButtonNormal);
}

TEST_F(SkinButtonTest, APressReleasedOutsideSendsNothing) {
  Press(&button_, inside_);
  Move(&button_, outside_, Qt::LeftButton);
  EXPECT_EQ(button_.State(), ButtonNormal);
  Move(&button_, inside_, Qt::LeftButton);  // back in: pressed again
  EXPECT_EQ(button_.State(), ButtonPressed);
  Move(&button_, outside_, Qt::LeftButton);
  Release(&button_, outside_);
  EXPECT_EQ(commands_.count(), 0);
  EXPECT_EQ(button_.State(), ButtonNormal);

  // Hiding the button while it is pressed drops the press.
  button_.show();
  Press(&button_, inside_);
  button_.hide();
  Release(&button_, inside_);
  EXPECT_EQ(commands_.count(), 0);
}

TEST_F(SkinButtonTest, TheKeyboardAndClickAlsoSendTheCommandAndAForcedFaceIsDrawn) {
  button_.show();
  QTest::keyClick(&button_, Qt::Key_Space);
  button_.click();
  EXPECT_EQ(commands_.count(), 2);

  button_.SetFaceIndex(ButtonPressed);  // the Exit button's pressed face while the window closes
  EXPECT_EQ(button_.DrawnState(), ButtonPressed);
  EXPECT_EQ(button_.State(), ButtonNormal);
  button_.SetFaceIndex(0);
  EXPECT_EQ(button_.DrawnState(), ButtonNormal);

  button_.setEnabled(false);
  button_.click();
  EXPECT_EQ(commands_.count(), 2);
}

TEST(StatusButton, PhaseAndConnection) {
  test::QtApp();
  StatusButton button(1023);
  EXPECT_EQ(button.Phase(), 1);
  button.SetPhase(3);
  EXPECT_EQ(button.Phase(), 3);
  EXPECT_EQ(button.FaceIndex(), 3);  // the window steps the phase through the face index
  button.SetPhase(7);
  EXPECT_EQ(button.Phase(), 3);
  button.SetPhase(0);
  EXPECT_EQ(button.Phase(), 1);
  button.SetConnected(true);
  EXPECT_TRUE(button.Connected());
  // Painting with every phase, both ways, draws something.
  button.resize(button.sizeHint());
  for (const bool connected : {false, true}) {
    button.SetConnected(connected);
    EXPECT_FALSE(button.grab().toImage().isNull());
  }
  QSignalSpy commands(&button, &SkinButton::Command);
  test::Click(&button, QPoint(10, 10));
  ASSERT_EQ(commands.count(), 1);
  EXPECT_EQ(commands.at(0).at(0).toInt(), 1023);
}

}  // namespace
}  // namespace pspkvx
