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

std::string RecordingMediaWindow::AskName(const std::string& prompt,
                                          const std::string& initialName) {
  std::lock_guard<std::mutex> lock(mutex_);
  questions_.push_back({prompt, initialName});
  if (names_.empty()) {
    ADD_FAILURE() << "unexpected name entry: " << prompt;
    return "";
  }
  std::string name = names_.front();
  names_.pop_front();
  return name;
}

void RecordingMediaWindow::AnswerNames(const std::vector<std::string>& names) {
  std::lock_guard<std::mutex> lock(mutex_);
  names_.insert(names_.end(), names.begin(), names.end());
}

std::vector<RecordingMediaWindow::Question> RecordingMediaWindow::questions() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return questions_;
}

std::vector<std::string> RecordingMediaWindow::Statuses() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return statuses_;
}

std::vector<int> RecordingMediaWindow::Progress() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return progress_;
}

std::string MediaStickTest::PcFile(const std::string& relative, const std::string& bytes) {
  const std::string path = OnPc(relative);
  fs::create_directories(fs::path(path).parent_path());
  WriteFileBytes(path, bytes);
  return path;
}

}  // namespace pspkvx::test
