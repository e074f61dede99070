// The window's side of a media operation for tests: keeps every status text and progress step,
// answers the save dialog from a script.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "media/MediaStick.h"

namespace pspkvx::test {

class FakeMediaWindow : public IMediaWindow {
 public:
  // The paths the coming save dialogs give, in order ("" cancels one).
  void ChoosePaths(std::vector<std::string> paths) {
    savePaths_.insert(savePaths_.end(), paths.begin(), paths.end());
  }

  void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
  void SetProgress(int percent) override { progress.push_back(percent); }
  std::string ChooseSavePath(const std::string& proposed) override {
    proposedPaths.push_back(proposed);
    if (savePaths_.empty()) {
      ADD_FAILURE() << "unexpected save dialog proposing " << proposed;
      return "";
    }
    std::string path = savePaths_.front();
    savePaths_.pop_front();
    return path;
  }
  std::string AskName(const std::string& prompt, const std::string&) override {
    ADD_FAILURE() << "unexpected name entry: " << prompt;
    return "";
  }

  std::vector<std::string> statusTexts;
  std::vector<int> progress;
  std::vector<std::string> proposedPaths;

 private:
  std::deque<std::string> savePaths_;
};

}  // namespace pspkvx::test
