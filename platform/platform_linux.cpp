// Linux implementation of the platform interface.
#include <unistd.h>

#include <sys/stat.h>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/Platform.h"
#include "platform/drives_linux.h"
#include "platform/files_linux.h"
#include "platform/instance_lock_linux.h"
#include "platform/usb_linux.h"

namespace pspkvx::platform {
namespace {

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string EnvOrEmpty(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// XDG_DOCUMENTS_DIR from the user's user-dirs.dirs ("$HOME/Documents" style), or empty.
std::string XdgDocumentsDir(const std::string& home) {
  std::string config = EnvOrEmpty("XDG_CONFIG_HOME");
  if (config.empty()) config = home + "/.config";
  std::ifstream in(config + "/user-dirs.dirs");
  std::string line;
  const std::string key = "XDG_DOCUMENTS_DIR=";
  while (std::getline(in, line)) {
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    if (value.empty() || value.front() != '/') return "";
    return value;
  }
  return "";
}

class LinuxPlatform final : public Platform {
 public:
  // The PSP is found the way the Windows NT family finds it: by USB identity and volume checks.
  uint32_t OsFamily() const override { return kOsNt; }

  std::string ProgramPath() const override {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "";
    return std::string(buffer, static_cast<size_t>(n));
  }

  std::string CurrentDirectory() const override {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? buffer : "";
  }

  std::string DocumentsFolder() const override {
    std::string home = EnvOrEmpty("HOME");
    while (home.size() > 1 && home.back() == '/')
      home.pop_back();
    if (home.empty()) return CurrentDirectory();
    std::string xdg = XdgDocumentsDir(home);
    if (IsDirectory(xdg)) return xdg;
    if (IsDirectory(home + "/Documents")) return home + "/Documents";
    return home;
  }

  std::unique_ptr<InstanceLock> AcquireInstanceLock(const std::string& name) override {
    return AcquireLinuxInstanceLock(name);
  }

  bool AskRunningInstanceToRaise(const std::string& name) override {
    return AskLinuxInstanceToRaise(name);
  }

  std::vector<std::string> UsbDeviceInterfacePaths() const override {
    return UsbDevicePathsFromSysfs("/sys/bus/usb/devices");
  }

  std::string DriveRoot(char letter) const override {
    const auto drive = FindDrive(letter);
    if (!drive) return "";
    return drive->mountPoint.back() == '/' ? drive->mountPoint : drive->mountPoint + "/";
  }

  std::optional<VolumeGeometry> QueryVolumeGeometry(char letter) const override {
    const auto drive = FindDrive(letter);
    if (!drive) return std::nullopt;
    return GeometryOfDisk(drive->diskFolder);
  }

  std::optional<DiskSpace> QueryDiskSpace(const std::string& path) const override {
    return PosixDiskSpace(path);
  }

  bool CreateEmptyFile(const std::string& path) override { return PosixCreateEmptyFile(path); }
  bool RemoveFile(const std::string& path) override { return PosixRemoveFile(path); }
  bool CreateFolder(const std::string& path) override { return PosixCreateFolder(path); }
  std::vector<FolderEntry> ListFolder(const std::string& path) const override {
    return PosixListFolder(path);
  }
  std::optional<uint64_t> WriteWholeFile(const std::string& path, const void* data,
                                         uint64_t size) override {
    return PosixWriteWholeFile(path, data, size);
  }
  std::optional<PathStatus> QueryPath(const std::string& path) const override {
    return PosixQueryPath(path);
  }
  std::optional<std::string> ReadFilePart(const std::string& path, uint64_t offset,
                                          size_t maxBytes) const override {
    return PosixReadFilePart(path, offset, maxBytes);
  }
  bool RemoveFolder(const std::string& path) override { return PosixRemoveFolder(path); }
  bool MovePath(const std::string& from, const std::string& to) override {
    return PosixMovePath(from, to);
  }

 private:
  // The table is read afresh on every question, so that a volume mounted a moment ago counts.
  static std::optional<LinuxDrive> FindDrive(char letter) {
    const auto mountInfo = ReadTextFile("/proc/self/mountinfo");
    if (!mountInfo) return std::nullopt;
    for (const LinuxDrive& drive : BuildDriveTable(ParseMountInfo(*mountInfo), "/sys"))
      if (drive.letter == letter && !drive.mountPoint.empty()) return drive;
    return std::nullopt;
  }
};

}  // namespace

std::unique_ptr<Platform> CreateSystemPlatform() {
  return std::make_unique<LinuxPlatform>();
}

}  // namespace pspkvx::platform
