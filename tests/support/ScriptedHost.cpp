#include "support/ScriptedHost.h"

#include <gtest/gtest.h>

namespace pspkvx::test {

void ScriptedHost::Answer(std::vector<int> results) {
  answers_.insert(answers_.end(), results.begin(), results.end());
}

int ScriptedHost::ShowMessageBox(const MessageBoxRequest& request) {
  requests_.push_back(request);
  flaggedWhileShown_ = flaggedWhileShown_ && showing_;
  const MessageBoxButtonSet buttons = ButtonSetForType(request.type);
  if (buttons.count == 1) return buttons.results[0];
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected question: " << request.text;
    return ResultNo;
  }
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::vector<std::string> ScriptedHost::texts() const {
  std::vector<std::string> texts;
  for (const MessageBoxRequest& request : requests_)
    texts.push_back(request.text);
  return texts;
}

}  // namespace pspkvx::test
