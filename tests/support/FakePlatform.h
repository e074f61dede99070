// A platform whose every answer the test scripts. File and folder operations act on the real
// file system (tests point the fake volumes' roots at temporary folders) unless a failure is
// scripted.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace pspkvx::test {

struct FakeVolume {
  std::string root;  // with its trailing separator
  std::optional<platform::VolumeGeometry> geometry =
      platform::VolumeGeometry{platform::kMediaRemovable, 512};
  std::optional<platform::DiskSpace> space = platform::DiskSpace{};
};

class FakePlatform : public platform::Platform {
 public:
  FakePlatform();

  uint32_t osFamily = platform::kOsNt;
  std::string programPath = "/opt/pspkvx/PSPKVX";
  std::string currentDirectory = "/home/user";
  std::string documentsFolder = "/home/user/Documents";
  // When set, AcquireInstanceLock fails as if another instance ran.
  bool anotherInstanceRuns = false;
  int raiseRequests = 0;
  std::string lastLockName;

  // USB devices and volumes by drive letter.
  std::vector<std::string> usbPaths;
  std::map<char, FakeVolume> volumes;
  // Scripted failures: no file can be created; a file write stops after this many bytes.
  bool failFileCreation = false;
  std::optional<uint64_t> writeLimit;
  // Scripted listings by folder path (other folders are listed for real).
  std::map<std::string, std::vector<platform::FolderEntry>> listings;
  // Files and folders that RemoveFile and RemoveFolder refuse to remove.
  std::set<std::string> undeletable;
  // When set, a MovePath for which it returns true fails without moving anything.
  std::function<bool(const std::string& from, const std::string& to)> refuseMove;
  // When set, a WriteWholeFile for which it returns true fails as if the file could not be
  // created, and a ReadFilePart as if the file could not be read.
  std::function<bool(const std::string& path)> refuseWrite;
  std::function<bool(const std::string& path)> refuseRead;

  // What was asked, in order.
  mutable std::vector<char> geometryQueries;
  mutable std::vector<char> rootQueries;
  mutable int usbQueries = 0;
  std::vector<std::string> createdFolders;  // every CreateFolder call

  // While a worker uses the fake, the test changes and reads it only through these.
  void Change(const std::function<void(FakePlatform&)>& change);
  template <typename Result>
  Result Read(const std::function<Result(const FakePlatform&)>& read) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return read(*this);
  }

  // A PSP as the detector expects it: its USB device and a removable 512-byte-sector volume
  // of the given size at root, on the letter.
  static constexpr char kPspDevicePath[] =
      "\\\\?\\usb#vid_054c&pid_01c8#0123456789#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
  void PlugInPsp(char letter, const std::string& root, uint64_t totalBytes, uint64_t freeBytes);
  void ClearLog();

  uint32_t OsFamily() const override { return osFamily; }
  std::string ProgramPath() const override { return programPath; }
  std::string CurrentDirectory() const override { return currentDirectory; }
  std::string DocumentsFolder() const override { return documentsFolder; }
  std::unique_ptr<platform::InstanceLock> AcquireInstanceLock(const std::string& name) override;
  bool AskRunningInstanceToRaise(const std::string& name) override;

  std::vector<std::string> UsbDeviceInterfacePaths() const override;
  std::string DriveRoot(char letter) const override;
  std::optional<platform::VolumeGeometry> QueryVolumeGeometry(char letter) const override;
  std::optional<platform::DiskSpace> QueryDiskSpace(const std::string& path) const override;
  bool CreateEmptyFile(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  std::vector<platform::FolderEntry> ListFolder(const std::string& path) const override;
  std::optional<uint64_t> WriteWholeFile(const std::string& path, const void* data,
                                         uint64_t size) override;
  std::optional<platform::PathStatus> QueryPath(const std::string& path) const override;
  std::optional<std::string> ReadFilePart(const std::string& path, uint64_t offset,
                                          size_t maxBytes) const override;
  bool RemoveFolder(const std::string& path) override;
  bool MovePath(const std::string& from, const std::string& to) override;

 private:
  mutable std::mutex mutex_;
  std::unique_ptr<platform::Platform> files_;  // the real file operations
};

}  // namespace pspkvx::test
