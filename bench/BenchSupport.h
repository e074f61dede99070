// What the benchmarks share: a temporary folder of their own, the volume's writes waited for,
// and a simulated PSP whose stick is a folder.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/AppConfig.h"
#include "base/MessageBox.h"
#include "platform/SimulatedPsp.h"
#include "psp/PspDrive.h"
#include "psp/PspStick.h"

namespace pspkvx::bench {

// A fresh folder for one benchmark, removed when it ends.
class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pspkvx-bench-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : "";
  }
  ~BenchFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Waits until what was written to the volume holding folder is on the disk.
inline void SyncVolume(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  syncfs(fd);
  close(fd);
}

// Answers every question Yes and shows nothing.
struct SilentHost : IMessageBoxHost {
  int ShowMessageBox(const MessageBoxRequest&) override { return ResultYes; }
  void SetMessageShowing(bool) override {}
};

// A ready PSP whose stick is the folder root.
class BenchStick {
 public:
  BenchStick(const std::string& root, uint64_t capacity)
      : platform_(platform::WithSimulatedPsp(platform::CreateSystemPlatform(), root, capacity)) {
    config_.PspDriveLetter = platform::kSimulatedPspLetter;
    drive_ = std::make_unique<CPspDrive>(*platform_, config_, platform::kOsNt);
    drive_->Poll();
    files_ = std::make_unique<PspStick>(*platform_, *drive_);
  }
  platform::Platform& Platform() { return *platform_; }
  CPspDrive& Drive() { return *drive_; }
  PspStick& Files() { return *files_; }
  SilentHost& Host() { return host_; }

 private:
  std::unique_ptr<platform::Platform> platform_;
  AppConfig config_{};
  std::unique_ptr<CPspDrive> drive_;
  std::unique_ptr<PspStick> files_;
  SilentHost host_;
};

}  // namespace pspkvx::bench
