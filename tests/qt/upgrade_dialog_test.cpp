// The updater's dialog: how it looks before its work begins, and a close while it waits for
// PSPKVX, which stops the worker and replaces nothing.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <filesystem>
#include <thread>

#include "qt/QtTestApp.h"
#include "support/Process.h"
#include "support/TempDir.h"
#include "upgrade/UpgradeDialog.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::unique_ptr<UpgradeSession> SessionFor(const std::string& folder) {
  return std::make_unique<UpgradeSession>(platform::CreateSystemPlatform(),
                                          UpdaterOptions{folder, 60s});
}

TEST(UpgradeDialog, ASmallFixedDialogWithItsCaptionIconAndTextAndNoButtonYet) {
  test::QtApp();
  test::TempDir dir;
  auto session = SessionFor(dir.path());
  const UpgradeDialog dialog(*session);
  EXPECT_EQ(dialog.windowTitle(), "PSP KVX Updater");
  EXPECT_EQ(dialog.minimumSize(), QSize(258, 107));
  EXPECT_EQ(dialog.maximumSize(), QSize(258, 107));
  EXPECT_FALSE(dialog.windowIcon().isNull());
  const auto* text = dialog.findChild<QLabel*>();
  ASSERT_TRUE(text);
  EXPECT_EQ(text->text(), "Finished");
  EXPECT_TRUE(text->alignment() & Qt::AlignHCenter);
  const auto* ok = dialog.findChild<QPushButton*>();
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_TRUE(ok->isHidden());
}

TEST(UpgradeDialog, ClosingWhileWaitingStopsTheWorkerAndReplacesNothing) {
  test::QtApp();
  test::TempDir dir;
  // PSPKVX runs (a copy of a real program), so the worker waits for it.
  fs::copy_file("/bin/sleep", dir.File("PSPKVX"));
  test::Child running({dir.File("PSPKVX"), "30"});
  for (int i = 0; i < 500 && platform::ProbeWritableWithoutChange(dir.File("PSPKVX")) !=
                                 platform::WriteProbe::InUse;
       ++i)
    std::this_thread::sleep_for(10ms);
  test::WriteFileBytes(dir.File("a.txt"), "old");
  const std::vector<ArchiveFile> files = {{"a.txt", {'n', 'e', 'w'}}};
  const PackageBytes package = BuildUpgradePackage(std::vector<uint8_t>{1, 2, 3}, files);
  test::WriteFileBytes(dir.File("upgrade"),
                       std::string(package.bytes.begin(), package.bytes.end()));

  auto session = SessionFor(dir.path());
  {
    UpgradeDialog dialog(*session);
    dialog.show();
    const auto* text = dialog.findChild<QLabel*>();
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return text->text().isEmpty(); }));
    EXPECT_TRUE(dialog.close());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(session->WaitForEnd(0ms));  // the close waited for the worker
  }
  EXPECT_EQ(session->ExitCode(), 1);
  EXPECT_EQ(test::ReadFileBytes(dir.File("a.txt")), "old");
  EXPECT_TRUE(running.Running());  // still the one PSPKVX
}

}  // namespace
}  // namespace pspkvx
