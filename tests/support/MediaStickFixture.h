// A ready PSP whose memory stick is a temporary folder, for the tests of the media operations on
// it, with a window whose name entry answers from a script.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "media/MediaStick.h"
#include "support/SaveStickFixture.h"

namespace pspkvx::test {

class FakeMediaWindow : public IMediaWindow {
 public:
  struct Question {
    std::string prompt;
    std::string initialName;
    bool operator==(const Question&) const = default;
  };

  // The answers of the coming name entries, in order (empty: cancelled). A name entry without a
  // scripted answer fails the test and is cancelled.
  void AnswerNames(std::vector<std::string> names) {
    names_.insert(names_.end(), names.begin(), names.end());
  }
  const std::vector<Question>& questions() const { return questions_; }

  void SetStatusText(const std::string& text) override { status_ = text; }
  void SetProgress(int percent) override { progress_ = percent; }
  std::string ChooseSavePath(const std::string&) override { return ""; }
  std::string AskName(const std::string& prompt, const std::string& initialName) override {
    questions_.push_back({prompt, initialName});
    if (names_.empty()) {
      ADD_FAILURE() << "unexpected name entry: " << prompt;
      return "";
    }
    std::string name = names_.front();
    names_.pop_front();
    return name;
  }

 private:
  std::deque<std::string> names_;
  std::vector<Question> questions_;
  std::string status_;
  int progress_ = 0;
};

class MediaStickTest : public SaveStickTest {
 protected:
  MediaStick Media() { return {platform_, drive_, files_, host_, window_}; }
  MediaStick Media(IMessageBoxHost& host, IMediaWindow& window) {
    return {platform_, drive_, files_, host, window};
  }
  std::string Music() const { return root_ + "PSP/Music"; }
  std::string Photos() const { return root_ + "PSP/Photo"; }

  FakeMediaWindow window_;
};

}  // namespace pspkvx::test
