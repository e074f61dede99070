// A whole upgrade in a temporary program folder: the service offers version 1.16, the window's
// update check downloads and verifies it, writes and starts the updater and closes; the updater
// replaces the program files and starts PSPKVX again, and that PSPKVX (the next release's build)
// removes the updater at its start.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "app/ManagerApp.h"
#include "base/WindowMessages.h"
#include "qt/QtTestApp.h"
#include "support/FakePlatform.h"
#include "support/Process.h"
#include "support/ServiceProcess.h"
#include "support/TempDir.h"
#include "ui/ManagerDlg.h"
#include "ui/qt/ManagerWindow.h"
#include "ui/qt/SkinButton.h"
#include "ui/qt/UpdateDialog.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Ends every process whose program is path (the restarted PSPKVX, which waits in its About box).
void EndProgram(const std::string& path) {
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::error_code error;
    const fs::path exe = fs::read_symlink(entry.path() / "exe", error);
    if (!error && exe == path) kill(std::stoi(entry.path().filename().string()), SIGTERM);
  }
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(20ms);
  return done();
}

TEST(UpgradeEndToEnd, TheServicesNewerReleaseReplacesTheProgramAndPspkvxStartsAgain) {
  test::QtApp();
  test::TempDir dir, runtime;
  const std::string folder = dir.File("program");
  fs::create_directories(folder);
  const std::string next = std::string(PSPKVX_NEXT_RELEASE_DIR) + "/PSPKVX";
  // The program file the running PSPKVX would be (this test's window stands in for it).
  fs::copy_file(test::ProgramFolderFile("PSPKVX"), folder + "/PSPKVX");
  test::WriteFileBytes(folder + "/Readme.txt", "old\n");
  test::WriteFileBytes(dir.File("Readme.txt"), "new\n");

  // The release: the updater with the next build and a new Readme, published signed.
  const auto packaged = test::RunCli({"package", "upgrade", "--updater", PSPKVX_UPDATER_PROGRAM,
                                      "-o", dir.File("package"), next, dir.File("Readme.txt")},
                                     {}, 120s);
  ASSERT_EQ(packaged.exitCode, 0) << packaged.err;
  const auto published =
      test::RunProcess({test::ProgramFolderFile("pspkvx-service"), "--db", dir.File("service.db"),
                        "publish-upgrade", dir.File("package"), "--version", "116"});
  ASSERT_EQ(published.exitCode, 0) << published.err;
  test::ServiceProcess service(dir.File("service.db"), false);
  test::WriteFileBytes(folder + "/service.host", service.HostPort() + "\n");

  // The updater and the PSPKVX it starts inherit this: their lock is not any other test's.
  setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
  test::FakePlatform platform;
  platform.programPath = folder + "/PSPKVX";
  CManagerApp app(platform);
  SetConfigDefaults(app.m_config, dir.path());
  app.m_szProgramFolder = folder;
  ManagerWindow window(app);
  bool clickedOk = false;
  QString lastText;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = window.findChild<UpdateDialog*>("UpdateDialog");
    if (!dialog || clickedOk) return;
    lastText = dialog->Text();
    if (dialog->Text() == QString::fromUtf8(StringText(IDS_DOWNLOAD_FINISHED))) {
      clickedOk = true;
      QTest::mouseClick(dialog->findChild<SkinButton*>("UpdateCancel"), Qt::LeftButton);
    }
  });
  poll.start(50);
  QTimer::singleShot(0, &window, [&] {
    window.Logic().SendWindowMessage(WM_CHECK_UPDATES, 0, 1);  // "Check For Updates Now"
  });
  QTimer::singleShot(60000, &window, [&] { window.done(ResultCancel); });  // a stuck check fails
  window.exec();
  poll.stop();
  ASSERT_TRUE(clickedOk) << lastText.toStdString();

  // The updater runs now; the PSPKVX it starts removes it, then writes its configuration.
  const bool restarted = WaitFor(
      [&] { return !fs::exists(folder + "/upgrade") && fs::exists(folder + "/PSPKV.CFG"); }, 60s);
  EndProgram(folder + "/PSPKVX");
  ASSERT_TRUE(restarted);
  EXPECT_EQ(test::ReadFileBytes(folder + "/PSPKVX"), test::ReadFileBytes(next));
  EXPECT_EQ(test::ReadFileBytes(folder + "/Readme.txt"), "new\n");
  // No replacement's temporary file ("NAME.XXXXXX") is left.
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name.rfind("PSPKVX.", 0) != 0 && name.rfind("Readme.txt.", 0) != 0 &&
                name.rfind("upgrade", 0) != 0)
        << name;
  }
}

}  // namespace
}  // namespace pspkvx
