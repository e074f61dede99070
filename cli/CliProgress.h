// What the long commands share: a progress bar on the terminal (stderr) and Ctrl-C as Cancel.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "base/ManualResetEvent.h"

namespace pspkvx::cli {

// "[#####     ]  50% status" redrawn in place; nothing when stderr is not a terminal.
class TerminalBar {
 public:
  TerminalBar();
  ~TerminalBar() { Finish(); }
  TerminalBar(const TerminalBar&) = delete;
  TerminalBar& operator=(const TerminalBar&) = delete;

  void SetStatus(const std::string& text) {
    if (!text.empty()) status_ = text;
  }
  void SetPercent(int percent);
  // Ends the bar's line.
  void Finish();

 private:
  bool terminal_;
  int shown_ = -1;
  std::string status_;
};

// While it lives, Ctrl-C (and SIGTERM) set the stop event, as the window's Cancel does.
class InterruptWatch {
 public:
  explicit InterruptWatch(ManualResetEvent& stop);
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

 private:
  ManualResetEvent& stop_;
  std::atomic<bool> done_{false};
  std::thread watcher_;
};

}  // namespace pspkvx::cli
