#include "support/FakePlatform.h"

#include <algorithm>

namespace pspkvx::test {
namespace {

class FakeLock : public platform::InstanceLock {
 public:
  void SetRaiseHandler(std::function<void()>) override {}
};

}  // namespace

FakePlatform::FakePlatform() : files_(platform::CreateSystemPlatform()) {}

std::unique_ptr<platform::InstanceLock> FakePlatform::AcquireInstanceLock(const std::string& name) {
  lastLockName = name;
  if (anotherInstanceRuns) return nullptr;
  return std::make_unique<FakeLock>();
}

bool FakePlatform::AskRunningInstanceToRaise(const std::string& name) {
  lastLockName = name;
  ++raiseRequests;
  return true;
}

void FakePlatform::Change(const std::function<void(FakePlatform&)>& change) {
  std::lock_guard<std::mutex> lock(mutex_);
  change(*this);
}

void FakePlatform::PlugInPsp(char letter, const std::string& root, uint64_t totalBytes,
                             uint64_t freeBytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (std::find(usbPaths.begin(), usbPaths.end(), kPspDevicePath) == usbPaths.end())
    usbPaths.push_back(kPspDevicePath);
  FakeVolume volume;
  volume.root = root;
  volume.space = platform::DiskSpace{freeBytes, totalBytes};
  volumes[letter] = volume;
}

void FakePlatform::ClearLog() {
  std::lock_guard<std::mutex> lock(mutex_);
  geometryQueries.clear();
  rootQueries.clear();
  usbQueries = 0;
  createdFolders.clear();
}

std::vector<std::string> FakePlatform::UsbDeviceInterfacePaths() const {
  std::lock_guard<std::mutex> lock(mutex_);
  ++usbQueries;
  return usbPaths;
}

std::string FakePlatform::DriveRoot(char letter) const {
  std::lock_guard<std::mutex> lock(mutex_);
  rootQueries.push_back(letter);
  const auto it = volumes.find(letter);
  return it == volumes.end() ? "" : it->second.root;
}

std::optional<platform::VolumeGeometry> FakePlatform::QueryVolumeGeometry(char letter) const {
  std::lock_guard<std::mutex> lock(mutex_);
  geometryQueries.push_back(letter);
  const auto it = volumes.find(letter);
  if (it == volumes.end()) return std::nullopt;
  return it->second.geometry;
}

std::optional<platform::DiskSpace> FakePlatform::QueryDiskSpace(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& [letter, volume] : volumes)
    if (!path.empty() && volume.root == path) return volume.space;
  return std::nullopt;
}

bool FakePlatform::CreateEmptyFile(const std::string& path) {
  if (Read<bool>([](const FakePlatform& f) { return f.failFileCreation; })) return false;
  return files_->CreateEmptyFile(path);
}

bool FakePlatform::RemoveFile(const std::string& path) {
  if (Read<bool>([&](const FakePlatform& f) { return f.undeletable.count(path) > 0; }))
    return false;
  return files_->RemoveFile(path);
}

bool FakePlatform::CreateFolder(const std::string& path) {
  Change([&](FakePlatform& f) { f.createdFolders.push_back(path); });
  return files_->CreateFolder(path);
}

std::vector<platform::FolderEntry> FakePlatform::ListFolder(const std::string& path) const {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = listings.find(path);
    if (it != listings.end()) return it->second;
  }
  return files_->ListFolder(path);
}

std::optional<uint64_t> FakePlatform::WriteWholeFile(const std::string& path, const void* data,
                                                     uint64_t size) {
  const auto [fail, limit] = Read<std::pair<bool, std::optional<uint64_t>>>(
      [](const FakePlatform& f) { return std::make_pair(f.failFileCreation, f.writeLimit); });
  if (fail ||
      Read<bool>([&](const FakePlatform& f) { return f.refuseWrite && f.refuseWrite(path); }))
    return std::nullopt;
  return files_->WriteWholeFile(path, data, limit ? std::min(size, *limit) : size);
}

std::optional<platform::PathStatus> FakePlatform::QueryPath(const std::string& path) const {
  return files_->QueryPath(path);
}

std::optional<std::string> FakePlatform::ReadFilePart(const std::string& path, uint64_t offset,
                                                      size_t maxBytes) const {
  if (Read<bool>([&](const FakePlatform& f) { return f.refuseRead && f.refuseRead(path); }))
    return std::nullopt;
  return files_->ReadFilePart(path, offset, maxBytes);
}

bool FakePlatform::RemoveFolder(const std::string& path) {
  if (Read<bool>([&](const FakePlatform& f) { return f.undeletable.count(path) > 0; }))
    return false;
  return files_->RemoveFolder(path);
}

bool FakePlatform::MovePath(const std::string& from, const std::string& to) {
  if (Read<bool>([&](const FakePlatform& f) { return f.refuseMove && f.refuseMove(from, to); }))
    return false;
  return files_->MovePath(from, to);
}

}  // namespace pspkvx::test
