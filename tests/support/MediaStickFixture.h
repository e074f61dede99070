// A ready PSP whose stick is a temporary folder, a scripted message box and a window stand-in
// that records the status line and the progress, for the tests of the media operations.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/AppConfig.h"
#include "media/MediaStick.h"
#include "psp/PspDrive.h"
#include "psp/PspStick.h"
#include "support/FakePlatform.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace pspkvx::test {

class RecordingMediaWindow : public IMediaWindow {
 public:
  void SetStatusText(const std::string& text) override;
  void SetProgress(int percent) override;
  std::string ChooseSavePath(const std::string& proposed) override;
  std::string AskName(const std::string& prompt, const std::string& initialName) override;

  std::vector<std::string> Statuses() const;
  std::vector<int> Progress() const;
  // The answers of the coming save dialogs and name entries (empty: cancelled), in order.
  std::deque<std::string> savePaths;
  std::deque<std::string> names;
  std::vector<std::string> proposedPaths;
  std::vector<std::string> prompts;
  // Called with every progress figure (on the thread that reports it).
  std::function<void(int)> onProgress;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> statuses_;
  std::vector<int> progress_;
};

class MediaStickTest : public ::testing::Test {
 protected:
  static constexpr uint64_t kTotalBytes = uint64_t(1) << 30;

  MediaStickTest();
  MediaStick Stick() { return {platform_, drive_, files_, host_, window_}; }
  std::string OnStick(const std::string& relative) const { return root_ + relative; }
  std::string OnPc(const std::string& relative) const { return dir_.File("pc/" + relative); }
  // A file on the PC with the given bytes (folders along the way are made).
  std::string PcFile(const std::string& relative, const std::string& bytes);
  void SetFreeBytes(uint64_t free);

  TempDir dir_;
  std::string root_;
  FakePlatform platform_;
  AppConfig config_{};
  CPspDrive drive_{platform_, config_, platform::kOsNt};
  PspStick files_{platform_, drive_};
  ScriptedHost host_;
  RecordingMediaWindow window_;
};

}  // namespace pspkvx::test
