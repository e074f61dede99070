#include "cli/CliProgress.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>

namespace pspkvx::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;
extern "C" void OnInterrupt(int) {
  interrupted = 1;
}

}  // namespace

TerminalBar::TerminalBar() : terminal_(::isatty(2) != 0) {}

void TerminalBar::SetPercent(int percent) {
  if (!terminal_ || percent == shown_) return;
  shown_ = percent;
  const int filled = std::clamp(percent, 0, 100) * 30 / 100;
  std::fprintf(
      stderr, "\r[%s%s] %3d%% %.40s", std::string(static_cast<size_t>(filled), '#').c_str(),
      std::string(static_cast<size_t>(30 - filled), ' ').c_str(), percent, status_.c_str());
  std::fflush(stderr);
}

void TerminalBar::Finish() {
  if (terminal_ && shown_ >= 0) std::fputs("\n", stderr);
  shown_ = -1;
}

InterruptWatch::InterruptWatch(ManualResetEvent& stop) : stop_(stop) {
  interrupted = 0;
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  watcher_ = std::thread([this] {
    while (!done_.load()) {
      if (interrupted) stop_.Set();
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
}

InterruptWatch::~InterruptWatch() {
  done_ = true;
  watcher_.join();
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
}

}  // namespace pspkvx::cli
