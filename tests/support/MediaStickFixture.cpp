#include "support/MediaStickFixture.h"

#include <filesystem>

namespace pspkvx::test {

namespace fs = std::filesystem;

void RecordingMediaWindow::SetStatusText(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  statuses_.push_back(text);
}

void RecordingMediaWindow::SetProgress(int percent) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    progress_.push_back(percent);
  }
  if (onProgress) onProgress(percent);
}

std::string RecordingMediaWindow::ChooseSavePath(const std::string& proposed) {
  std::lock_guard<std::mutex> lock(mutex_);
  proposedPaths.push_back(proposed);
  if (savePaths.empty()) return "";
  std::string path = savePaths.front();
  savePaths.pop_front();
  return path;
}

std::string RecordingMediaWindow::AskName(const std::string& prompt, const std::string&) {
  std::lock_guard<std::mutex> lock(mutex_);
  prompts.push_back(prompt);
  if (names.empty()) return "";
  std::string name = names.front();
  names.pop_front();
  return name;
}

std::vector<std::string> RecordingMediaWindow::Statuses() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return statuses_;
}

std::vector<int> RecordingMediaWindow::Progress() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return progress_;
}

MediaStickTest::MediaStickTest() {
  SetConfigDefaults(config_, "/docs");
  config_.SearchForPsp = 0;
  config_.PspDriveLetter = 'P';
  root_ = dir_.File("stick") + "/";
  fs::create_directories(root_);
  platform_.PlugInPsp('P', root_, kTotalBytes, kTotalBytes / 2);
  drive_.Poll();
  EXPECT_TRUE(drive_.IsReady());
}

std::string MediaStickTest::PcFile(const std::string& relative, const std::string& bytes) {
  const std::string path = OnPc(relative);
  fs::create_directories(fs::path(path).parent_path());
  WriteFileBytes(path, bytes);
  return path;
}

void MediaStickTest::SetFreeBytes(uint64_t free) {
  platform_.Change([&](FakePlatform& f) { f.volumes['P'].space = {free, kTotalBytes}; });
  drive_.RefreshFreeSpace();
}

}  // namespace pspkvx::test
