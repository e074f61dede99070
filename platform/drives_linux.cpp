#include "platform/drives_linux.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <sstream>

#include "platform/files_linux.h"

namespace pspkvx::platform {
namespace {

// mountinfo writes space, tab, newline and backslash in paths as \040, \011, \012 and \134.
std::string UnescapeMountPath(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      unsigned code = 0;
      const char* digits = field.data() + i + 1;
      const auto [end, error] = std::from_chars(digits, digits + 3, code, 8);
      if (error == std::errc() && end == digits + 3) {
        out += static_cast<char>(code);
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

std::optional<long> ReadNumber(const std::string& path) {
  const auto text = ReadTextFile(path);
  if (!text) return std::nullopt;
  // A sysfs value: the number and a line feed.
  const size_t end = text->find_last_not_of(" \t\n");
  if (end == std::string::npos) return std::nullopt;
  long value = 0;
  const auto [stop, error] = std::from_chars(text->data(), text->data() + end + 1, value);
  if (error != std::errc() || stop != text->data() + end + 1) return std::nullopt;
  return value;
}

struct BlockDevice {
  std::string name;
  std::string diskFolder;
};

// The sysfs folders of a "major:minor" block device: the device itself and its whole disk
// (a partition's parent folder).
std::optional<BlockDevice> FindBlockDevice(const std::string& sysRoot, const std::string& device) {
  std::error_code error;
  const auto folder = std::filesystem::canonical(sysRoot + "/dev/block/" + device, error);
  if (error) return std::nullopt;
  const bool partition = std::filesystem::exists(folder / "partition", error);
  return BlockDevice{folder.filename().string(),
                     (partition ? folder.parent_path() : folder).string()};
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(const std::string& text) {
  std::vector<MountEntry> mounts;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    // id parent major:minor root mount-point options [optional fields...] - type source ...
    std::istringstream fields(line);
    std::string id, parent, device, root, mountPoint;
    if (!(fields >> id >> parent >> device >> root >> mountPoint)) continue;
    if (device.find(':') == std::string::npos) continue;
    mounts.push_back({device, UnescapeMountPath(root), UnescapeMountPath(mountPoint)});
  }
  return mounts;
}

std::vector<LinuxDrive> BuildDriveTable(const std::vector<MountEntry>& mounts,
                                        const std::string& sysRoot) {
  std::map<std::string, LinuxDrive> byDevice;  // sorted by block device name
  for (const MountEntry& mount : mounts) {
    if (mount.root != "/") continue;  // a bind mount of a folder is not the volume's root
    const auto block = FindBlockDevice(sysRoot, mount.device);
    if (!block || byDevice.count(block->name)) continue;
    if (ReadNumber(block->diskFolder + "/removable").value_or(0) != 1) continue;
    byDevice[block->name] = {0, block->name, mount.mountPoint, block->diskFolder};
  }
  std::vector<LinuxDrive> drives;
  char letter = 'D';
  for (auto& [name, drive] : byDevice) {
    if (letter > 'Z') break;
    drive.letter = letter++;
    drives.push_back(drive);
  }
  return drives;
}

std::optional<VolumeGeometry> GeometryOfDisk(const std::string& diskFolder) {
  const auto removable = ReadNumber(diskFolder + "/removable");
  const auto sectorSize = ReadNumber(diskFolder + "/queue/logical_block_size");
  if (!removable || !sectorSize || *sectorSize <= 0) return std::nullopt;
  return VolumeGeometry{*removable == 1 ? kMediaRemovable : kMediaFixed,
                        static_cast<uint32_t>(*sectorSize)};
}

}  // namespace pspkvx::platform
