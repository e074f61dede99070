#include "psp/PspDrive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "psp/psp_fixture.h"
#include "support/FakePlatform.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using platform::kMediaFixed;
using platform::kMediaRemovable;

constexpr uint64_t kGiB = uint64_t(1) << 30;
constexpr uint64_t kTiB = uint64_t(1) << 40;
constexpr char kSlimPath[] =
    "\\\\?\\usb#vid_054c&pid_02d2#SLIM0001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
constexpr char kOtherSonyPath[] =
    "\\\\?\\usb#vid_054c&pid_0268#DS3#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

// A detector on a scripted platform whose volumes are temporary folders.
class PspDriveTest : public ::testing::Test {
 protected:
  PspDriveTest() { SetConfigDefaults(config_, "/docs"); }

  // A volume on letter with its root folder, optionally holding the PSP's folders.
  test::FakeVolume& AddVolume(char letter, uint64_t total, uint64_t free, bool pspFolders = false) {
    const std::string root = dir_.File(std::string(1, letter));
    std::filesystem::create_directory(root);
    if (pspFolders) {
      std::filesystem::create_directory(root + "/PSP");
      std::filesystem::create_directory(root + "/mp_root");
    }
    test::FakeVolume& volume = platform_.volumes[letter];
    volume.root = root + "/";
    volume.space = platform::DiskSpace{free, total};
    return volume;
  }

  void UseFixedLetter(char letter) {
    config_.SearchForPsp = 0;
    config_.PspDriveLetter = letter;
  }

  void PollTimes(CPspDrive& drive, int polls) {
    for (int i = 0; i < polls; ++i)
      drive.Poll();
  }

  test::TempDir dir_;
  test::FakePlatform platform_;
  AppConfig config_{};
};

struct PollCase {
  const char* name;
  std::vector<std::string> usb;
  uint64_t total;
  uint64_t free;
  int mediaType;
  uint32_t sectorSize;
  int expectedState;
  char expectedDrive;  // the configuration's letter afterwards
};

TEST_F(PspDriveTest, SearchAcceptsOnlyAPspsRemovableVolumeOfAcceptableSize) {
  const std::string psp = test::FakePlatform::kPspDevicePath;
  // A drive holding the PSP's folders is still refused without the USB device.
  std::filesystem::create_directories(dir_.File("PSP"));
  std::filesystem::create_directories(dir_.File("mp_root"));
  const PollCase cases[] = {
      {"no USB device at all", {}, 16 * kGiB, kGiB, kMediaRemovable, 512, PspNotFound, 'D'},
      {"another Sony product",
       {kOtherSonyPath},
       16 * kGiB,
       kGiB,
       kMediaRemovable,
       512,
       PspNotFound,
       'D'},
      {"PSP with a 16 GB stick",
       {kOtherSonyPath, psp},
       16 * kGiB,
       kGiB,
       kMediaRemovable,
       512,
       PspReady,
       'G'},
      {"PSP Slim with a 16 GB stick",
       {kSlimPath},
       16 * kGiB,
       kGiB,
       kMediaRemovable,
       512,
       PspReady,
       'G'},
      {"a stick just below 2 TiB", {psp}, 2 * kTiB - 512, 0, kMediaRemovable, 512, PspReady, 'G'},
      {"a stick of 2 TiB", {psp}, 2 * kTiB, kGiB, kMediaRemovable, 512, PspSearching, 'D'},
      {"a stick above 2 TiB", {psp}, 3 * kTiB, kGiB, kMediaRemovable, 512, PspSearching, 'D'},
      {"more free space than capacity",
       {psp},
       kGiB,
       kGiB + 1,
       kMediaRemovable,
       512,
       PspSearching,
       'D'},
      {"4096-byte sectors", {psp}, kGiB, kGiB, kMediaRemovable, 4096, PspSearching, 'D'},
      {"2048-byte sectors", {psp}, kGiB, kGiB, kMediaRemovable, 2048, PspSearching, 'D'},
      {"a fixed disk", {psp}, kGiB, kGiB, kMediaFixed, 512, PspSearching, 'D'},
  };
  for (const PollCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::FakePlatform platform;
    platform.usbPaths = c.usb;
    test::FakeVolume volume;
    volume.root = dir_.path() + "/";
    volume.geometry = platform::VolumeGeometry{c.mediaType, c.sectorSize};
    volume.space = platform::DiskSpace{c.free, c.total};
    platform.volumes['G'] = volume;
    AppConfig config{};
    SetConfigDefaults(config, "/docs");
    CPspDrive drive(platform, config, platform::kOsNt);
    PollTimes(drive, 3);
    EXPECT_EQ(drive.State(), c.expectedState);
    EXPECT_EQ(config.PspDriveLetter, c.expectedDrive);
    if (c.expectedState == PspReady) {
      EXPECT_EQ(drive.DriveLetter(), 'G');
      EXPECT_EQ(drive.GetTotalBytes(), c.total);
      EXPECT_EQ(drive.GetFreeBytes(), c.free);
      EXPECT_EQ(drive.Wrapped(), 0);
    } else {
      EXPECT_EQ(drive.GetFreeBytes(), 0u);
      EXPECT_EQ(drive.GetTotalBytes(), 0u);
    }
    if (c.expectedState == PspSearching) {
      EXPECT_EQ(drive.Wrapped(), 1);
    }
    if (c.expectedState == PspNotFound) {
      // Without the PSP on the USB no drive is even looked at.
      EXPECT_TRUE(platform.geometryQueries.empty());
    }
  }
}

TEST_F(PspDriveTest, SearchTriesZDownToDAndNeverCBOrA) {
  platform_.usbPaths = {test::FakePlatform::kPspDevicePath};
  CPspDrive drive(platform_, config_, platform::kOsNt);
  drive.Poll();
  std::string tried(platform_.geometryQueries.begin(), platform_.geometryQueries.end());
  EXPECT_EQ(tried, "ZYXWVUTSRQPONMLKJIHGFED");
  EXPECT_EQ(drive.State(), PspSearching);
  EXPECT_EQ(drive.Wrapped(), 1);

  // With two candidates the higher letter wins.
  AddVolume('E', kGiB, kGiB);
  AddVolume('K', 2 * kGiB, kGiB);
  drive.Poll();
  EXPECT_EQ(drive.State(), PspReady);
  EXPECT_EQ(config_.PspDriveLetter, 'K');
  EXPECT_EQ(drive.GetTotalBytes(), 2 * kGiB);
}

TEST_F(PspDriveTest, UnpluggingIsNoticedWithinThreePolls) {
  for (int extraPolls = 0; extraPolls < 3; ++extraPolls) {
    SCOPED_TRACE(extraPolls);
    test::FakePlatform platform;
    platform.PlugInPsp('H', dir_.path() + "/", kGiB, kGiB / 2);
    AppConfig config{};
    SetConfigDefaults(config, "/docs");
    CPspDrive drive(platform, config, platform::kOsNt);
    drive.Poll();
    ASSERT_EQ(drive.State(), PspReady);
    PollTimes(drive, extraPolls);  // unplugged at any point of the re-check cycle
    EXPECT_EQ(drive.State(), PspReady);
    platform.Change([](test::FakePlatform& f) {
      f.usbPaths.clear();
      f.volumes.clear();
    });
    EXPECT_LE(test::PollsUntilNotReady(drive), 3);
    EXPECT_EQ(drive.State(), PspSearching);
    EXPECT_EQ(drive.GetFreeBytes(), 0u);
    drive.Poll();  // searching again, and the USB device is absent
    EXPECT_EQ(drive.State(), PspNotFound);
  }
}

TEST_F(PspDriveTest, FixedLetterIsTestedAgainAtTheNextPollAfterAChange) {
  platform_.usbPaths = {test::FakePlatform::kPspDevicePath};
  AddVolume('G', kGiB, kGiB);
  UseFixedLetter('E');
  CPspDrive drive(platform_, config_, platform::kOsNt);
  drive.Poll();
  EXPECT_EQ(drive.State(), PspNotFound);  // nothing mounted on E
  EXPECT_EQ(drive.DriveLetter(), 'E');
  // Only the fixed letter is ever looked at.
  EXPECT_EQ(std::set<char>(platform_.geometryQueries.begin(), platform_.geometryQueries.end()),
            std::set<char>({'E'}));

  config_.PspDriveLetter = 'G';
  drive.Poll();
  EXPECT_EQ(drive.State(), PspReady);
  EXPECT_EQ(drive.DriveLetter(), 'G');

  // A change while ready is tested at once too.
  config_.PspDriveLetter = 'J';
  drive.Poll();
  EXPECT_EQ(drive.State(), PspNotFound);
  EXPECT_EQ(drive.DriveLetter(), 'J');

  // Without the USB device the fixed letter's state is left as it was.
  platform_.usbPaths.clear();
  config_.PspDriveLetter = 'G';
  drive.Poll();
  EXPECT_EQ(drive.State(), PspNotFound);
}

TEST_F(PspDriveTest, FixedLetterThatFailsTheGeometryIsStillTakenWhenWritable) {
  // The user named the letter: a writable volume of acceptable size is taken even when its
  // geometry is not a PSP's (the write test decides).
  platform_.usbPaths = {test::FakePlatform::kPspDevicePath};
  AddVolume('G', kGiB, kGiB).geometry = platform::VolumeGeometry{kMediaFixed, 512};
  UseFixedLetter('G');
  CPspDrive drive(platform_, config_, platform::kOsNt);
  drive.Poll();
  EXPECT_EQ(drive.State(), PspReady);
  // The test file is gone again.
  EXPECT_TRUE(std::filesystem::is_empty(dir_.File("G")));

  platform_.failFileCreation = true;
  CPspDrive refused(platform_, config_, platform::kOsNt);
  refused.Poll();
  EXPECT_EQ(refused.State(), PspNotFound);
}

TEST_F(PspDriveTest, Win9xTriesFiveLettersAPollAndNeedsFoldersAndAWriteTest) {
  CPspDrive drive(platform_, config_, platform::kOsWin9x);
  for (int poll = 0; poll < 5; ++poll) {
    platform_.ClearLog();
    drive.Poll();
    const std::set<char> tried(platform_.rootQueries.begin(), platform_.rootQueries.end());
    EXPECT_EQ(tried.size(), 5u) << "poll " << poll;
    EXPECT_FALSE(tried.count('C') || tried.count('B') || tried.count('A'));
    // 23 letters: the fifth poll wraps round from D to Z.
    EXPECT_EQ(drive.Wrapped(), poll == 4 ? 1 : 0);
  }
  EXPECT_EQ(platform_.usbQueries, 0);
  EXPECT_TRUE(platform_.geometryQueries.empty());

  // Folders alone are not enough while searching: the write test must pass too.
  AddVolume('R', kGiB, kGiB, /*pspFolders=*/true);
  platform_.failFileCreation = true;
  PollTimes(drive, 5);
  EXPECT_EQ(drive.State(), PspSearching);
  platform_.failFileCreation = false;
  PollTimes(drive, 5);
  EXPECT_EQ(drive.State(), PspReady);
  EXPECT_EQ(config_.PspDriveLetter, 'R');
  EXPECT_EQ(drive.Wrapped(), 0);
  EXPECT_EQ(drive.GetTotalBytes(), kGiB);

  // The geometry probe refuses everything on this family and keeps the stored space.
  EXPECT_EQ(drive.ProbeCurrentDrive(), -1);
  EXPECT_EQ(drive.GetTotalBytes(), kGiB);

  // Removing the stick is noticed within three polls.
  std::filesystem::remove_all(dir_.File("R/PSP"));
  std::filesystem::remove_all(dir_.File("R/mp_root"));
  platform_.failFileCreation = true;
  PollTimes(drive, 3);
  EXPECT_EQ(drive.State(), PspSearching);
}

TEST_F(PspDriveTest, Win9xFixedLetterTakesFoldersOrAWriteTest) {
  UseFixedLetter('F');
  AddVolume('F', kGiB, kGiB, /*pspFolders=*/true);
  platform_.failFileCreation = true;  // the folders alone suffice
  CPspDrive drive(platform_, config_, platform::kOsWin9x);
  drive.Poll();
  EXPECT_EQ(drive.State(), PspReady);

  config_.PspDriveLetter = 'M';  // a changed letter is tested at the next poll
  drive.Poll();
  EXPECT_EQ(drive.State(), PspNotFound);
  AddVolume('M', kGiB, kGiB);  // no folders, but writable
  platform_.failFileCreation = false;
  drive.Poll();
  EXPECT_EQ(drive.State(), PspReady);
  EXPECT_EQ(drive.DriveLetter(), 'M');
}

// A platform that looks at the detector while a probe is in progress, and tries to re-enter it.
class ObservingPlatform : public test::FakePlatform {
 public:
  std::optional<platform::VolumeGeometry> QueryVolumeGeometry(char letter) const override {
    if (drive) {
      idleDuringProbe = idleDuringProbe && drive->IsIdle();
      busyDuringProbe = drive->TryBeginPoll() ? (drive->EndPoll(), 0) : 1;
      if (!nestedDone) {
        nestedDone = true;
        const size_t before = geometryQueries.size();
        drive->Poll();  // an overlapping poll returns at once
        nestedPollQueries = geometryQueries.size() - before;
      }
    }
    return FakePlatform::QueryVolumeGeometry(letter);
  }
  std::vector<std::string> UsbDeviceInterfacePaths() const override {
    if (drive && !nestedUsbChecked) {
      nestedUsbChecked = true;
      nestedUsbResult = drive->UsbPspPresent();  // nested inside the outer check
    }
    return FakePlatform::UsbDeviceInterfacePaths();
  }
  CPspDrive* drive = nullptr;
  mutable bool idleDuringProbe = true;
  mutable int busyDuringProbe = 0;
  mutable bool nestedDone = false;
  mutable size_t nestedPollQueries = 99;
  mutable bool nestedUsbChecked = false;
  mutable int nestedUsbResult = 0;
};

TEST_F(PspDriveTest, IsNotIdleWhileAPollOrProbeRunsAndRefusesToReenter) {
  ObservingPlatform platform;
  platform.PlugInPsp('G', dir_.path() + "/", kGiB, kGiB);
  CPspDrive drive(platform, config_, platform::kOsNt);
  platform.drive = &drive;
  EXPECT_TRUE(drive.IsIdle());
  drive.Poll();
  EXPECT_FALSE(platform.idleDuringProbe);
  EXPECT_EQ(platform.busyDuringProbe, 1);
  EXPECT_EQ(platform.nestedPollQueries, 0u);
  EXPECT_EQ(platform.nestedUsbResult, -1);
  EXPECT_EQ(drive.State(), PspReady);  // the outer calls did their work
  EXPECT_TRUE(drive.IsIdle());
  EXPECT_EQ(g_nProbeCount.load(), 0);
}

TEST_F(PspDriveTest, RefreshFreeSpaceStoresAcceptableValuesOnly) {
  platform_.PlugInPsp('G', dir_.path() + "/", 16 * kGiB, 4 * kGiB);
  CPspDrive drive(platform_, config_, platform::kOsNt);
  EXPECT_EQ(drive.GetFreeBytes(), 0u);  // not ready yet
  drive.Poll();
  platform_.volumes['G'].space = platform::DiskSpace{kGiB, 16 * kGiB};
  EXPECT_EQ(drive.RefreshFreeSpace(), 0);
  EXPECT_EQ(drive.GetFreeBytes(), kGiB);

  platform_.volumes['G'].space = platform::DiskSpace{17 * kGiB, 16 * kGiB};
  EXPECT_EQ(drive.RefreshFreeSpace(), -1);
  EXPECT_EQ(drive.GetFreeBytes(), 0u);

  platform_.volumes['G'].space = std::nullopt;
  EXPECT_EQ(drive.RefreshFreeSpace(), -1);
  EXPECT_EQ(drive.ProbeCurrentDrive(), -1);
  platform_.volumes['G'].space = platform::DiskSpace{2 * kGiB, 16 * kGiB};
  EXPECT_EQ(drive.ProbeCurrentDrive(), 0);
  EXPECT_EQ(drive.GetFreeBytes(), 2 * kGiB);
}

TEST_F(PspDriveTest, ShowUsbDevicePathsShowsOneBoxEachUntilTheFirstEmptyPath) {
  const std::string longPath =
      std::string("\\\\?\\usb#vid_1234&pid_5678#") + std::string(1200, 'x');
  platform_.usbPaths = {kOtherSonyPath, longPath, "", kSlimPath};
  CPspDrive drive(platform_, config_, platform::kOsNt);
  test::ScriptedHost host;
  drive.ShowUsbDevicePaths(host);
  const std::vector<std::string> texts = host.texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], kOtherSonyPath);
  EXPECT_EQ(texts[1], longPath.substr(0, kMaxDevicePathLength));
  EXPECT_TRUE(host.flaggedWhileShown());
  // The empty path ends the walk for the detector too.
  EXPECT_EQ(drive.UsbPspPresent(), -1);
}

}  // namespace
}  // namespace pspkvx
