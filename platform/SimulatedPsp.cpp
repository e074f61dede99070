#include "platform/SimulatedPsp.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/NameCase.h"

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

  bool CreateEmptyFile(const std::string& path) override {
    return system_->CreateEmptyFile(OnStick(path));
  }
  bool RemoveFile(const std::string& path) override { return system_->RemoveFile(OnStick(path)); }
  bool CreateFolder(const std::string& path) override {
    return system_->CreateFolder(OnStick(path));
  }
  std::vector<FolderEntry> ListFolder(const std::string& path) const override {
    return system_->ListFolder(OnStick(path));
  }
  std::optional<uint64_t> WriteWholeFile(const std::string& path, const void* data,
                                         uint64_t size) override {
    return system_->WriteWholeFile(OnStick(path), data, size);
  }
  std::optional<PathStatus> QueryPath(const std::string& path) const override {
    return system_->QueryPath(OnStick(path));
  }
  std::optional<std::string> ReadFilePart(const std::string& path, uint64_t offset,
                                          size_t maxBytes) const override {
    return system_->ReadFilePart(OnStick(path), offset, maxBytes);
  }
  bool RemoveFolder(const std::string& path) override {
    return system_->RemoveFolder(OnStick(path));
  }
  bool MovePath(const std::string& from, const std::string& to) override {
    const std::string source = OnStick(from);
    std::string target = OnStick(to);
    // The new name finds the entry being moved: a change of case only, which renames it (an
    // identical name stays refused, as the entry is there). Any other entry found under the new
    // name is there already, and the system refuses the move.
    if (target == source && IsBelowFolder(to)) {
      const size_t name = to.find_last_of(kPathSep) + 1;
      target.replace(target.size() - (to.size() - name), to.size() - name, to, name);
    }
    return system_->MovePath(source, target);
  }

 private:
  bool IsBelowFolder(const std::string& path) const {
    return path.size() > root_.size() && path.compare(0, root_.size(), root_) == 0;
  }

  // A path below the folder as the stick's FAT file system finds it: each component naming an
  // existing entry in another case takes that entry's name. Other paths stay as they are.
  std::string OnStick(const std::string& path) const {
    if (!IsBelowFolder(path)) return path;
    return FindIgnoringCase(*system_, root_.substr(0, root_.size() - 1), path.substr(root_.size()));
  }

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
