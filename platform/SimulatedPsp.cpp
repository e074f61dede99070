#include "platform/SimulatedPsp.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace pspkvx::platform {
namespace {

namespace fs = std::filesystem;

constexpr uint16_t kSonyVendor = 0x054C;
constexpr uint16_t kPspProduct = 0x01C8;

class SimulatedPspPlatform final : public Platform {
 public:
  SimulatedPspPlatform(std::unique_ptr<Platform> system, const std::string& folder,
                       uint64_t capacity)
      : system_(std::move(system)), capacity_(capacity) {
    std::error_code error;
    fs::path path = fs::absolute(folder, error);
    if (error) path = folder;
    folder_ = path.lexically_normal().string();
    while (folder_.size() > 1 && folder_.back() == kPathSep)
      folder_.pop_back();
    root_ = folder_.back() == kPathSep ? folder_ : folder_ + kPathSep;
  }

  uint32_t OsFamily() const override { return system_->OsFamily(); }
  std::string ProgramPath() const override { return system_->ProgramPath(); }
  std::string CurrentDirectory() const override { return system_->CurrentDirectory(); }
  std::string DocumentsFolder() const override { return system_->DocumentsFolder(); }
  std::unique_ptr<InstanceLock> AcquireInstanceLock(const std::string& name) override {
    return system_->AcquireInstanceLock(name);
  }
  bool AskRunningInstanceToRaise(const std::string& name) override {
    return system_->AskRunningInstanceToRaise(name);
  }

  std::vector<std::string> UsbDeviceInterfacePaths() const override {
    std::vector<std::string> paths = system_->UsbDeviceInterfacePaths();
    if (PluggedIn()) paths.push_back(SimulatedPspDevicePath());
    return paths;
  }

  std::string DriveRoot(char letter) const override {
    if (letter != kSimulatedPspLetter) return system_->DriveRoot(letter);
    return PluggedIn() ? root_ : "";
  }

  std::optional<VolumeGeometry> QueryVolumeGeometry(char letter) const override {
    if (letter != kSimulatedPspLetter) return system_->QueryVolumeGeometry(letter);
    if (!PluggedIn()) return std::nullopt;
    return VolumeGeometry{kMediaRemovable, 512};
  }

  std::optional<DiskSpace> QueryDiskSpace(const std::string& path) const override {
    if (path != root_ && path != folder_) return system_->QueryDiskSpace(path);
    if (!PluggedIn()) return std::nullopt;
    const uint64_t stored = BytesStored();
    uint64_t free = stored < capacity_ ? capacity_ - stored : 0;
    if (const auto real = system_->QueryDiskSpace(folder_)) free = std::min(free, real->freeBytes);
    return DiskSpace{free, capacity_};
  }

  bool CreateEmptyFile(const std::string& path) override { return system_->CreateEmptyFile(path); }
  bool RemoveFile(const std::string& path) override { return system_->RemoveFile(path); }
  bool CreateFolder(const std::string& path) override { return system_->CreateFolder(path); }
  std::vector<FolderEntry> ListFolder(const std::string& path) const override {
    return system_->ListFolder(path);
  }
  std::optional<uint64_t> WriteWholeFile(const std::string& path, const void* data,
                                         uint64_t size) override {
    return system_->WriteWholeFile(path, data, size);
  }
  std::optional<PathStatus> QueryPath(const std::string& path) const override {
    return system_->QueryPath(path);
  }
  std::optional<std::string> ReadFilePart(const std::string& path, uint64_t offset,
                                          size_t maxBytes) const override {
    return system_->ReadFilePart(path, offset, maxBytes);
  }
  bool RemoveFolder(const std::string& path) override { return system_->RemoveFolder(path); }
  bool MovePath(const std::string& from, const std::string& to) override {
    return system_->MovePath(from, to);
  }

 private:
  bool PluggedIn() const {
    std::error_code error;
    return fs::is_directory(folder_, error);
  }

  // The sizes of the regular files below the folder (links are not followed).
  uint64_t BytesStored() const {
    uint64_t total = 0;
    std::error_code error;
    fs::recursive_directory_iterator it(folder_, fs::directory_options::skip_permission_denied,
                                        error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
      std::error_code entryError;
      if (it->is_regular_file(entryError)) {
        const uintmax_t size = it->file_size(entryError);
        if (!entryError) total += size;
      }
    }
    return total;
  }

  std::unique_ptr<Platform> system_;
  std::string folder_;
  std::string root_;
  uint64_t capacity_;
};

}  // namespace

std::unique_ptr<Platform> WithSimulatedPsp(std::unique_ptr<Platform> system,
                                           const std::string& folder, uint64_t capacity) {
  return std::make_unique<SimulatedPspPlatform>(std::move(system), folder, capacity);
}

std::string SimulatedPspDevicePath() {
  return UsbDeviceInterfacePath(kSonyVendor, kPspProduct, "PSPKVXSIMULATED");
}

uint64_t SimulatedCapacityFromText(const char* text) {
  if (!text || !*text) return kDefaultSimulatedCapacity;
  const char* end = text + std::strlen(text);
  uint64_t value = 0;
  const auto [stop, error] = std::from_chars(text, end, value);
  if (error != std::errc() || stop != end || value == 0) return kDefaultSimulatedCapacity;
  return value;
}

std::unique_ptr<Platform> CreatePlatform() {
  auto system = CreateSystemPlatform();
  const char* folder = std::getenv(kSimulatedPspVariable);
  if (!folder || !*folder) return system;
  return WithSimulatedPsp(std::move(system), folder,
                          SimulatedCapacityFromText(std::getenv(kSimulatedCapacityVariable)));
}

}  // namespace pspkvx::platform
