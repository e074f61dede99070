// A ready PSP whose memory stick is a temporary folder, for the tests of the media operations on
// it, with a window stand-in that records the status line and the progress and answers the save
// dialog and the name entry from a script.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "media/MediaStick.h"
#include "support/SaveStickFixture.h"

namespace pspkvx::test {

class RecordingMediaWindow : public IMediaWindow {
 public:
  struct Question {
    std::string prompt;
    std::string initialName;
    bool operator==(const Question&) const = default;
  };

  void SetStatusText(const std::string& text) override;
  void SetProgress(int percent) override;
  std::string ChooseSavePath(const std::string& proposed) override;
  // A name entry without a scripted answer fails the test and is cancelled.
  std::string AskName(const std::string& prompt, const std::string& initialName) override;

  // The answers of the coming name entries, in order (empty: cancelled).
  void AnswerNames(const std::vector<std::string>& names);
  std::vector<Question> questions() const;
  std::vector<std::string> Statuses() const;
  std::vector<int> Progress() const;
  // The answers of the coming save dialogs (empty: cancelled), in order; the paths proposed.
  std::deque<std::string> savePaths;
  std::vector<std::string> proposedPaths;
  // Called with every progress figure (on the thread that reports it).
  std::function<void(int)> onProgress;

 private:
  mutable std::mutex mutex_;
  std::deque<std::string> names_;
  std::vector<Question> questions_;
  std::vector<std::string> statuses_;
  std::vector<int> progress_;
};

class MediaStickTest : public SaveStickTest {
 protected:
  MediaStick Media() { return {platform_, drive_, files_, host_, window_}; }
  MediaStick Media(IMessageBoxHost& host, IMediaWindow& window) {
    return {platform_, drive_, files_, host, window};
  }
  std::string Music() const { return root_ + "PSP/Music"; }
  std::string Photos() const { return root_ + "PSP/Photo"; }
  std::string OnStick(const std::string& relative) const { return root_ + relative; }
  std::string OnPc(const std::string& relative) const { return dir_.File("pc/" + relative); }
  // A file on the PC with the given bytes (folders along the way are made).
  std::string PcFile(const std::string& relative, const std::string& bytes);

  RecordingMediaWindow window_;
};

}  // namespace pspkvx::test
