// The main window's status line: a text and a countdown in timer ticks (-1: shown until
// replaced). Workers set it, the window's timer counts it down and paints it.
#pragma once

#include <mutex>
#include <string>

namespace pspkvx {

inline constexpr size_t kStatusTextLimit = 70;

// A status text cut to 70 characters followed by "..." when longer.
std::string CutStatusText(const std::string& text);

class StatusLine {
 public:
  void Set(const std::string& text, int ticks = -1);
  std::string Text() const;
  // One timer tick: counts down; true when the countdown just reached 0 and the line was
  // cleared (the window repaints then).
  bool Tick();

 private:
  mutable std::mutex mutex_;
  std::string text_;
  int countdown_ = -1;
};

}  // namespace pspkvx
