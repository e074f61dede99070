// A message box host for tests: keeps every request, answers questions from a script and
// every other box with its first button.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "base/MessageBox.h"

namespace pspkvx::test {

class ScriptedHost : public IMessageBoxHost {
 public:
  // The answers to the coming questions (boxes with more than one button), in order. A
  // question without a scripted answer fails the test and is answered No.
  void Answer(std::vector<int> results);

  int ShowMessageBox(const MessageBoxRequest& request) override;
  void SetMessageShowing(bool showing) override { showing_ = showing; }

  const std::vector<MessageBoxRequest>& requests() const { return requests_; }
  std::vector<std::string> texts() const;  // of every box, in order
  // Every box was shown while the window's "message showing" flag was set.
  bool flaggedWhileShown() const { return flaggedWhileShown_ && !showing_; }

 private:
  std::deque<int> answers_;
  std::vector<MessageBoxRequest> requests_;
  bool showing_ = false;
  bool flaggedWhileShown_ = true;
};

}  // namespace pspkvx::test
