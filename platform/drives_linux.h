// Drive letters on Linux. Mounted volumes on removable block devices get the letters 'D'
// upwards, ordered by block device name (sdb1 before sdc1), so that a volume keeps its letter
// while others come and go after it. The sources are arguments so that tests can hand in a
// made-up mount table and sysfs tree.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace pspkvx::platform {

// One line of /proc/self/mountinfo, with the octal escapes of its paths undone.
struct MountEntry {
  std::string device;  // "major:minor"
  std::string root;    // the folder of the filesystem mounted ("/" for the whole volume)
  std::string mountPoint;
};

// The parseable lines of a mountinfo text; malformed lines are passed over.
std::vector<MountEntry> ParseMountInfo(const std::string& text);

struct LinuxDrive {
  char letter = 0;
  std::string blockDevice;  // "sdb1"
  std::string mountPoint;
  std::string diskFolder;  // sysfs folder of the whole disk (holds removable and queue/)
};

// The drive table: every block device in mounts whose disk has removable = 1 under sysRoot
// (normally "/sys"), at its first whole-volume mount point.
std::vector<LinuxDrive> BuildDriveTable(const std::vector<MountEntry>& mounts,
                                        const std::string& sysRoot);

// Removable media when the disk's removable flag is 1, fixed otherwise; the sector size is its
// queue/logical_block_size. None when the disk folder cannot be read.
std::optional<VolumeGeometry> GeometryOfDisk(const std::string& diskFolder);

}  // namespace pspkvx::platform
