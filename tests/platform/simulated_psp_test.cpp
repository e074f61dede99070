#include "platform/SimulatedPsp.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace pspkvx::platform {
namespace {

namespace fs = std::filesystem;

TEST(SimulatedPsp, ShowsItsDeviceAndVolumeOnlyWhileTheFolderExists) {
  test::TempDir dir;
  const std::string folder = dir.File("psp");
  auto system = std::make_unique<test::FakePlatform>();
  system->usbPaths = {"\\\\?\\usb#vid_1d6b&pid_0002#hub#x"};
  system->volumes['D'].root = "/media/stick/";
  system->volumes['P'].root = "/media/real-p/";  // the simulated PSP takes letter P's place
  auto platform = WithSimulatedPsp(std::move(system), folder + "/", 10000);

  EXPECT_EQ(platform->UsbDeviceInterfacePaths().size(), 1u);
  EXPECT_EQ(platform->DriveRoot('P'), "");
  EXPECT_FALSE(platform->QueryVolumeGeometry('P'));
  EXPECT_FALSE(platform->QueryDiskSpace(folder + "/"));
  EXPECT_EQ(platform->DriveRoot('D'), "/media/stick/");

  fs::create_directories(folder + "/PSP/SAVEDATA");
  test::WriteFileBytes(folder + "/PSP/SAVEDATA/a.bin", std::string(1500, 'a'));
  test::WriteFileBytes(folder + "/b.bin", std::string(500, 'b'));
  const auto paths = platform->UsbDeviceInterfacePaths();
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[1], SimulatedPspDevicePath());
  EXPECT_EQ(paths[1],
            "\\\\?\\usb#vid_054c&pid_01c8#PSPKVXSIMULATED#"
            "{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
  EXPECT_EQ(platform->DriveRoot('P'), folder + "/");
  EXPECT_EQ(platform->QueryVolumeGeometry('P')->mediaType, kMediaRemovable);
  EXPECT_EQ(platform->QueryVolumeGeometry('P')->bytesPerSector, 512u);
  const auto space = platform->QueryDiskSpace(folder + "/");
  ASSERT_TRUE(space);
  EXPECT_EQ(space->totalBytes, 10000u);
  EXPECT_EQ(space->freeBytes, 8000u);

  // More stored than the capacity: no free space, never a wrapped-round number.
  test::WriteFileBytes(folder + "/big.bin", std::string(9000, 'c'));
  EXPECT_EQ(platform->QueryDiskSpace(folder)->freeBytes, 0u);
}

TEST(SimulatedPsp, FreeSpaceNeverExceedsTheRealVolumes) {
  test::TempDir dir;
  auto system = std::make_unique<test::FakePlatform>();
  system->volumes['Q'].root = dir.path();  // the fake answers for the folder's own volume
  system->volumes['Q'].space = DiskSpace{300, 1000000};
  auto platform = WithSimulatedPsp(std::move(system), dir.path(), 10000);
  EXPECT_EQ(platform->QueryDiskSpace(dir.path() + "/")->freeBytes, 300u);
}

TEST(SimulatedPsp, CapacityFromTheEnvironmentText) {
  const struct {
    const char* text;
    uint64_t capacity;
  } cases[] = {
      {nullptr, kDefaultSimulatedCapacity},
      {"", kDefaultSimulatedCapacity},
      {"123456789", 123456789},
      {"17179869184", uint64_t(16) << 30},
      {"0", kDefaultSimulatedCapacity},
      {"12a", kDefaultSimulatedCapacity},
      {"-5", kDefaultSimulatedCapacity},
      {"99999999999999999999", kDefaultSimulatedCapacity},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SimulatedCapacityFromText(c.text), c.capacity) << (c.text ? c.text : "null");
}

}  // namespace
}  // namespace pspkvx::platform
