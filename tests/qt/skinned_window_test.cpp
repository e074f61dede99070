// The main window with the build's skin art: the borderless, shaped window, its controls at
// their places and moved by the layout rules, the caption drag, the grip and maximizing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <filesystem>

#include "app/ManagerApp.h"
#include "qt/QtTestApp.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "ui/ControlIds.h"
#include "ui/WindowLayout.h"
#include "ui/WindowPlaces.h"
#include "ui/qt/ManagerWindow.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;

class SkinnedWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::QtApp();
    platform_.programPath = dir_.File("PSPKVX");
    SetConfigDefaults(app_.m_config, "/docs");
    app_.m_szProgramFolder = dir_.path();
  }
  void WithSkin() {
    fs::copy(fs::path(PSPKVX_PROGRAM_DIR) / "Dat", fs::path(dir_.File("Dat")),
             fs::copy_options::recursive);
  }
  // A left-button event at a place in the window, the button held while moving.
  static void Mouse(QWidget& window, QEvent::Type type, QPoint at) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, at, window.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&window, &event);
  }
  static QRect Place(const SkinRect& r) { return {r.left, r.top, r.Width(), r.Height()}; }

  test::TempDir dir_;
  test::FakePlatform platform_;
  CManagerApp app_{platform_};
};

TEST_F(SkinnedWindowTest, TheWindowIsBorderlessAndShapedByItsSkin) {
  WithSkin();
  ManagerWindow window(app_);
  window.show();
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
  const QRegion shape = window.mask();
  ASSERT_FALSE(shape.isEmpty());
  // The rounded corners are cut off; the face and the outline's straight edges are kept.
  EXPECT_FALSE(shape.contains(QPoint(0, 0)));
  EXPECT_FALSE(shape.contains(QPoint(window.width() - 1, window.height() - 1)));
  EXPECT_TRUE(shape.contains(QPoint(window.width() / 2, 0)));
  EXPECT_TRUE(shape.contains(QPoint(0, window.height() / 2)));
  EXPECT_TRUE(shape.contains(QPoint(window.width() / 2, window.height() / 2)));
  // The shape follows a new size.
  window.resize(1000, 700);
  EXPECT_FALSE(window.mask().contains(QPoint(999, 699)));
  EXPECT_TRUE(window.mask().contains(QPoint(500, 699)));
}

TEST_F(SkinnedWindowTest, ResizingTo1280x800LaysTheControlsOutByTheRules) {
  WithSkin();
  ManagerWindow window(app_);
  window.show();
  window.resize(740, 520);
  for (const auto& [id, rect] : MainWindowPlaces()) {
    if (QWidget* control = window.Control(id)) {
      EXPECT_EQ(control->geometry(), Place(rect)) << id;
    }
  }
  window.resize(1280, 800);
  std::map<int, SkinRect> expected = MainWindowPlaces();
  MainWindowLayout().Apply({1280, 800}, expected);
  int checked = 0;
  for (const auto& [id, rect] : expected)
    if (QWidget* control = window.Control(id)) {
      EXPECT_EQ(control->geometry(), Place(rect)) << id;
      ++checked;
    }
  EXPECT_GT(checked, 40);
  // For instance: the exit button follows the right edge, the lists share the width.
  EXPECT_EQ(window.Control(IdExit)->geometry().right(), 1280 - 10 - 1);
  EXPECT_EQ(window.Control(IdVideoPcList)->width(), window.Control(IdVideoPspList)->width());
}

TEST_F(SkinnedWindowTest, TheCaptionMovesTheWindowAndTheGripResizesIt) {
  WithSkin();
  ManagerWindow window(app_);
  window.show();
  window.setGeometry(0, 0, 740, 520);
  const QPoint start = window.pos();
  Mouse(window, QEvent::MouseButtonPress, {300, 12});
  Mouse(window, QEvent::MouseMove, {350, 52});
  Mouse(window, QEvent::MouseButtonRelease, {350, 52});
  EXPECT_EQ(window.pos(), start + QPoint(50, 40));
  EXPECT_EQ(window.size(), QSize(740, 520));

  // A press below the caption band on the bare face moves nothing.
  Mouse(window, QEvent::MouseButtonPress, {300, 100});
  Mouse(window, QEvent::MouseMove, {340, 140});
  Mouse(window, QEvent::MouseButtonRelease, {340, 140});
  EXPECT_EQ(window.pos(), start + QPoint(50, 40));

  window.move(0, 0);  // the grip's drags stay inside the offscreen screen's work area
  Mouse(window, QEvent::MouseButtonPress, {735, 515});
  Mouse(window, QEvent::MouseMove, {745, 520});
  Mouse(window, QEvent::MouseMove, {765, 535});
  Mouse(window, QEvent::MouseButtonRelease, {765, 535});
  EXPECT_EQ(window.size(), QSize(770, 540));
  // Dragging the grip inwards stops where the pointer is the smallest size from the window's
  // top-left corner (the press was one pixel inside the bottom-right corner).
  Mouse(window, QEvent::MouseButtonPress, {769, 539});
  Mouse(window, QEvent::MouseMove, {400, 300});
  Mouse(window, QEvent::MouseButtonRelease, {400, 300});
  EXPECT_EQ(window.size(), QSize(741, 521));
}

TEST_F(SkinnedWindowTest, MaximizingFillsTheWorkAreaAndItsGripDoesNothing) {
  WithSkin();
  ManagerWindow window(app_);
  window.show();
  window.setGeometry(100, 100, 800, 560);
  const QRect work = window.screen()->availableGeometry();
  window.MaximizeOrRestore();
  EXPECT_TRUE(window.IsMaximized());
  EXPECT_EQ(window.geometry(), work);
  Mouse(window, QEvent::MouseButtonPress, {work.width() - 5, work.height() - 5});
  Mouse(window, QEvent::MouseMove, {work.width() - 105, work.height() - 105});
  Mouse(window, QEvent::MouseButtonRelease, {work.width() - 105, work.height() - 105});
  EXPECT_EQ(window.geometry(), work);
  window.MaximizeOrRestore();
  EXPECT_FALSE(window.IsMaximized());
  EXPECT_EQ(window.geometry(), QRect(100, 100, 800, 560));
}

TEST_F(SkinnedWindowTest, WithoutItsSkinTheWindowKeepsItsFrameAndItsLayout) {
  ManagerWindow window(app_);
  window.show();
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(window.mask().isEmpty());
  window.resize(1280, 800);
  std::map<int, SkinRect> expected = MainWindowPlaces();
  MainWindowLayout().Apply({1280, 800}, expected);
  EXPECT_EQ(window.Control(IdOptions)->geometry(), Place(expected[IdOptions]));
}

}  // namespace
}  // namespace pspkvx
