#include "ui/StatusLine.h"

namespace pspkvx {

std::string CutStatusText(const std::string& text) {
  if (text.size() <= kStatusTextLimit) return text;
  return text.substr(0, kStatusTextLimit) + "...";
}

void StatusLine::Set(const std::string& text, int ticks) {
  std::lock_guard<std::mutex> lock(mutex_);
  text_ = CutStatusText(text);
  countdown_ = ticks;
}

std::string StatusLine::Text() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return text_;
}

bool StatusLine::Tick() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (countdown_ <= 0) return false;
  if (--countdown_ > 0) return false;
  text_.clear();
  return true;
}

}  // namespace pspkvx
