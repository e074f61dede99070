// The Linux sources of drive letters and USB devices, over a made-up sysfs tree.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/drives_linux.h"
#include "platform/usb_linux.h"
#include "support/TempDir.h"

namespace pspkvx::platform {
namespace {

namespace fs = std::filesystem;

class SysfsTree {
 public:
  std::string root() const { return dir_.path(); }

  // A disk under /sys/devices with its flags, and /sys/dev/block links for it and its
  // partitions (number 0: the whole disk is the volume).
  void AddDisk(const std::string& name, int major, int firstMinor, int removable, int sectorSize,
               std::vector<int> partitions) {
    const std::string disk = dir_.File("devices/pci0000:00/usb/host/block/" + name);
    fs::create_directories(disk + "/queue");
    test::WriteFileBytes(disk + "/removable", std::to_string(removable) + "\n");
    test::WriteFileBytes(disk + "/queue/logical_block_size", std::to_string(sectorSize) + "\n");
    fs::create_directories(dir_.File("dev/block"));
    if (partitions.empty()) Link(major, firstMinor, disk);
    for (int number : partitions) {
      const std::string partition = disk + "/" + name + std::to_string(number);
      fs::create_directories(partition);
      test::WriteFileBytes(partition + "/partition", std::to_string(number) + "\n");
      Link(major, firstMinor + number, partition);
    }
  }

  std::string DiskFolder(const std::string& name) const {
    return fs::canonical(dir_.File("devices/pci0000:00/usb/host/block/" + name)).string();
  }

 private:
  void Link(int major, int minor, const std::string& target) {
    fs::create_symlink(
        target, dir_.File("dev/block/" + std::to_string(major) + ":" + std::to_string(minor)));
  }
  test::TempDir dir_;
};

TEST(MountInfo, ParsesMountsAndUndoesTheOctalEscapes) {
  const auto mounts = ParseMountInfo(
      "26 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
      "garbage\n"
      "\n"
      "80 26 8:17 / /media/ann/MY\\040PSP\\134x rw,nosuid shared:40 - vfat /dev/sdb1 rw\n"
      "81 26 8:17 /PSP /mnt/bound rw - vfat /dev/sdb1 rw\n"
      "82 26 notadevice / /mnt/odd rw - tmpfs tmpfs rw\n");
  ASSERT_EQ(mounts.size(), 3u);
  EXPECT_EQ(mounts[0].device, "8:1");
  EXPECT_EQ(mounts[0].mountPoint, "/");
  EXPECT_EQ(mounts[1].mountPoint, "/media/ann/MY PSP\\x");
  EXPECT_EQ(mounts[1].root, "/");
  EXPECT_EQ(mounts[2].root, "/PSP");
}

TEST(DriveTable, LettersRemovableVolumesFromDByDeviceName) {
  SysfsTree sys;
  sys.AddDisk("sda", 8, 0, 0, 512, {1});      // the system disk: not removable
  sys.AddDisk("sdb", 8, 16, 1, 512, {1, 2});  // a stick with two partitions
  sys.AddDisk("sdc", 8, 32, 1, 4096, {});     // a card without a partition table
  const auto mounts = ParseMountInfo(
      "26 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
      "90 26 8:32 / /media/ann/CARD rw - vfat /dev/sdc rw\n"
      "91 26 8:32 / /media/ann/CARD-again rw - vfat /dev/sdc rw\n"  // the first mount counts
      "92 26 8:18 /sub /mnt/bind rw - vfat /dev/sdb2 rw\n"          // not the volume's root
      "93 26 8:17 / /media/ann/PSP rw - vfat /dev/sdb1 rw\n"
      "94 26 0:45 / /run/user/1000 rw - tmpfs tmpfs rw\n"
      "95 26 8:99 / /media/ann/GONE rw - vfat /dev/sdz rw\n");  // no such device any more
  const auto drives = BuildDriveTable(mounts, sys.root());
  ASSERT_EQ(drives.size(), 2u);
  EXPECT_EQ(drives[0].letter, 'D');
  EXPECT_EQ(drives[0].blockDevice, "sdb1");
  EXPECT_EQ(drives[0].mountPoint, "/media/ann/PSP");
  EXPECT_EQ(drives[0].diskFolder, sys.DiskFolder("sdb"));
  EXPECT_EQ(drives[1].letter, 'E');
  EXPECT_EQ(drives[1].blockDevice, "sdc");
  EXPECT_EQ(drives[1].mountPoint, "/media/ann/CARD");

  // Geometry comes from the whole disk.
  EXPECT_EQ(GeometryOfDisk(drives[0].diskFolder)->mediaType, kMediaRemovable);
  EXPECT_EQ(GeometryOfDisk(drives[0].diskFolder)->bytesPerSector, 512u);
  EXPECT_EQ(GeometryOfDisk(drives[1].diskFolder)->bytesPerSector, 4096u);
  EXPECT_EQ(GeometryOfDisk(sys.DiskFolder("sda"))->mediaType, kMediaFixed);
  EXPECT_FALSE(GeometryOfDisk(sys.root() + "/nothing"));
}

TEST(DriveTable, StopsAtZ) {
  SysfsTree sys;
  std::string mountInfo;
  for (int i = 0; i < 30; ++i) {
    const std::string name = "sd" + std::string(1, char('a' + i / 10)) + std::to_string(i % 10);
    sys.AddDisk(name, 65, i * 16, 1, 512, {});
    mountInfo += std::to_string(100 + i) + " 26 65:" + std::to_string(i * 16) + " / /m/" + name +
                 " rw - vfat /dev/" + name + " rw\n";
  }
  const auto drives = BuildDriveTable(ParseMountInfo(mountInfo), sys.root());
  ASSERT_EQ(drives.size(), 23u);
  EXPECT_EQ(drives.back().letter, 'Z');
}

TEST(UsbDevices, SysfsDevicesBecomeWindowsDeviceInterfacePaths) {
  test::TempDir dir;
  const auto device = [&](const std::string& name, const char* vendor, const char* product,
                          const char* serial) {
    fs::create_directories(dir.File(name));
    if (vendor) test::WriteFileBytes(dir.File(name + "/idVendor"), std::string(vendor) + "\n");
    if (product) test::WriteFileBytes(dir.File(name + "/idProduct"), std::string(product) + "\n");
    if (serial) test::WriteFileBytes(dir.File(name + "/serial"), std::string(serial) + "\n");
  };
  device("usb1", "1d6b", "0002", "0000:00:14.0");
  device("1-1", "054c", "01c8", "PSP#1 \xE9");
  device("1-1:1.0", nullptr, nullptr, nullptr);  // an interface, not a device
  device("2-1", "054C", "02d2", nullptr);        // no serial: the folder name stands in
  device("2-2", "zzzz", "0001", nullptr);        // unreadable identity
  EXPECT_EQ(UsbDevicePathsFromSysfs(dir.path()),
            std::vector<std::string>({
                "\\\\?\\usb#vid_054c&pid_01c8#PSP_1__#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
                "\\\\?\\usb#vid_054c&pid_02d2#2-1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
                "\\\\?\\usb#vid_1d6b&pid_0002#0000:00:14.0#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
            }));
  EXPECT_TRUE(UsbDevicePathsFromSysfs(dir.File("missing")).empty());
}

}  // namespace
}  // namespace pspkvx::platform
