// The main window's PSP status, with the detection worker polling a scripted platform.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "app/ManagerApp.h"
#include "qt/QtTestApp.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "ui/Pages.h"
#include "ui/qt/InfoDialog.h"
#include "ui/qt/ManagerWindow.h"
#include "ui/qt/MessageBoxDialog.h"
#include "ui/qt/StatusButton.h"

namespace pspkvx {
namespace {

constexpr uint64_t kMiB = uint64_t(1) << 20;

TEST(ManagerWindowPsp, ShowsTheDetectorsStateAndStopsItsWorkerOnExit) {
  test::QtApp();
  test::TempDir dir;
  test::FakePlatform platform;
  platform.programPath = dir.File("PSPKVX");
  CManagerApp app(platform);
  SetConfigDefaults(app.m_config, "/docs");
  app.m_nPlatform = platform::kOsNt;

  ManagerWindow window(app);
  window.show();
  window.SwitchToPage(PageSaves);  // a page whose Delete from PSP is there
  auto* status = window.findChild<QLabel*>("PspStatusText");
  auto* freeText = window.findChild<QLabel*>("FreeSpaceText");
  auto* bar = window.findChild<QProgressBar*>("FreeSpaceBar");
  auto* remove = window.findChild<QPushButton*>("DeleteFromPspButton");
  auto* icon = window.findChild<StatusButton*>("PspStatusButton");
  ASSERT_TRUE(status && freeText && bar && remove && icon);
  EXPECT_TRUE(window.PspPollingRunning());
  EXPECT_FALSE(icon->Connected());
  EXPECT_TRUE(
      test::ProcessEventsUntil([&] { return status->text() == "Please connect PSP via usb"; }));
  EXPECT_FALSE(remove->isEnabled());
  EXPECT_FALSE(freeText->isVisible());
  EXPECT_FALSE(bar->isVisible());

  platform.PlugInPsp('G', dir.path() + "/", 1000 * 1000 * 1000, 250 * kMiB);
  EXPECT_TRUE(test::ProcessEventsUntil([&] { return status->text() == "PSP ready on drive G"; }));
  EXPECT_TRUE(icon->Connected());
  EXPECT_TRUE(remove->isEnabled());
  EXPECT_TRUE(freeText->isVisible());
  EXPECT_EQ(freeText->text(), "250.0Mb free (1000Mb)");
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->value(), 73);
  EXPECT_EQ(window.PspDrive().ConfiguredLetter(), 'G');

  platform.Change([](test::FakePlatform& f) {
    f.usbPaths.clear();
    f.volumes.clear();
  });
  EXPECT_TRUE(
      test::ProcessEventsUntil([&] { return status->text() == "Please connect PSP via usb"; }));
  EXPECT_FALSE(remove->isEnabled());
  EXPECT_FALSE(freeText->isVisible());

  QTimer::singleShot(0, &window, [&] { window.ExitSequence(); });
  EXPECT_EQ(window.exec(), ResultOk);
  EXPECT_FALSE(window.PspPollingRunning());
}

TEST(ManagerWindowPsp, FourthPressOfThePspButtonShowsTheUsbDevicePathsAndTheProgramFolder) {
  test::QtApp();
  test::TempDir dir;
  test::FakePlatform platform;
  platform.programPath = dir.File("PSPKVX");
  platform.usbPaths = {"\\\\?\\usb#vid_1d6b&pid_0002#hub#x",
                       "\\\\?\\usb#vid_046d&pid_c52b#mouse#x"};
  CManagerApp app(platform);
  SetConfigDefaults(app.m_config, "/docs");
  app.m_szProgramFolder = dir.path();
  ManagerWindow window(app);
  window.show();

  // Every box and the connection guide are read and answered as soon as they show.
  QStringList shown;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<MessageBoxDialog*>(modal)) {
      shown << box->findChild<QLabel*>("MessageText")->text();
      box->findChild<QPushButton*>("Button1")->click();
    } else if (auto* guide = qobject_cast<InfoDialog*>(modal)) {
      shown << guide->findChild<QPlainTextEdit*>("InfoText")->toPlainText();
      guide->findChild<QPushButton*>("OkButton")->click();
    }
  });
  answer.start(10);
  auto* button = window.findChild<StatusButton*>("PspStatusButton");
  for (int press = 0; press < 4; ++press)
    button->click();
  answer.stop();

  ASSERT_EQ(shown.size(), 6);
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(shown[i].startsWith("For your PSP to be found")) << i;
  EXPECT_EQ(shown[3], QString::fromStdString(platform.usbPaths[0]));
  EXPECT_EQ(shown[4], QString::fromStdString(platform.usbPaths[1]));
  EXPECT_EQ(shown[5], QString::fromStdString(dir.path()));
}

}  // namespace
}  // namespace pspkvx
