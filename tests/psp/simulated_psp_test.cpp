// The detector on the real platform of this system, with the simulated PSP of
// PSPKVX_SIMULATED_PSP, polled by the real detection worker.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "base/Thread.h"
#include "platform/SimulatedPsp.h"
#include "psp/PspDrive.h"
#include "psp/PspPolling.h"
#include "psp/PspStick.h"
#include "psp/psp_fixture.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;

struct PollingOwner : IThreadOwner {
  explicit PollingOwner(CPspDrive& d) : drive(d) {}
  void RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t) override {
    if (kind == ThreadPollPsp) RunPspPolling(drive, stop, 20ms);
  }
  CPspDrive& drive;
};

bool WaitForState(const CPspDrive& drive, int state) {
  for (int i = 0; i < 500 && drive.State() != state; ++i)
    std::this_thread::sleep_for(10ms);
  return drive.State() == state;
}

TEST(SimulatedPsp, TheDetectorSeesItAppearAndDisappear) {
  test::TempDir dir;
  const std::string stick = dir.File("stick");
  test::ScopedEnv env;
  env.Set(platform::kSimulatedPspVariable, stick);
  env.Set(platform::kSimulatedCapacityVariable, "123456789");
  auto platform = platform::CreatePlatform();
  AppConfig config{};
  SetConfigDefaults(config, "/docs");
  CPspDrive drive(*platform, config, platform->OsFamily());

  EXPECT_EQ(drive.State(), PspSearching);
  PollingOwner owner(drive);
  auto worker = CThread::Start(&owner, ThreadPollPsp, 0);
  ASSERT_TRUE(worker);
  EXPECT_TRUE(WaitForState(drive, PspNotFound));  // the folder does not exist: unplugged

  std::filesystem::create_directory(stick);
  test::WriteFileBytes(stick + "/already.bin", std::string(1000, 'a'));
  ASSERT_TRUE(WaitForState(drive, PspReady));
  EXPECT_EQ(drive.DriveLetter(), 'P');
  EXPECT_EQ(drive.ConfiguredLetter(), 'P');
  EXPECT_EQ(drive.StickRoot(), stick + "/");
  EXPECT_EQ(drive.GetTotalBytes(), 123456789u);
  EXPECT_LE(drive.GetFreeBytes(), 123456789u - 1000);
  EXPECT_EQ(drive.FreeSpaceText().substr(drive.FreeSpaceText().find('(')), "(124Mb)");

  // A file written through the detector lands in the folder and uses up space.
  const uint64_t freeBefore = drive.GetFreeBytes();
  const std::string data(5000, 's');
  EXPECT_EQ(PspStick(*platform, drive)
                .WriteToStick(u"\\GAME\\DATA.BIN", data.data(), data.size(), 1, 0, ""),
            0);
  EXPECT_EQ(test::ReadFileBytes(stick + "/PSP/SAVEDATA/GAME/DATA.BIN"), data);
  EXPECT_EQ(drive.RefreshFreeSpace(), 0);
  EXPECT_LE(drive.GetFreeBytes(), freeBefore - data.size());

  const auto started = std::chrono::steady_clock::now();
  CThread::StopAndDelete(std::move(worker), 4);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);

  // Unplugged: lost within three polls, then not found.
  std::filesystem::remove_all(stick);
  EXPECT_LE(test::PollsUntilNotReady(drive), 3);
  EXPECT_EQ(drive.State(), PspSearching);
  drive.Poll();
  EXPECT_EQ(drive.State(), PspNotFound);
  EXPECT_EQ(drive.StickRoot(), "");
}

}  // namespace
}  // namespace pspkvx
