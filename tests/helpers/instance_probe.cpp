// Test helper: takes the single-instance lock named by argv[1] like PSPKVX does.
// First instance: prints "first", then "raised" when a later start asks it to come forward
// (or "timeout" after argv[2] milliseconds), and exits 0.
// Later instance: asks the first to come forward, prints "second" (or "second-unanswered").
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/Platform.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  auto platform = pspkvx::platform::CreatePlatform();
  auto lock = platform->AcquireInstanceLock(argv[1]);
  if (!lock) {
    std::puts(platform->AskRunningInstanceToRaise(argv[1]) ? "second" : "second-unanswered");
    return 0;
  }
  std::atomic<bool> raised{false};
  lock->SetRaiseHandler([&] { raised = true; });
  std::puts("first");
  std::fflush(stdout);
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(std::atoi(argv[2]));
  while (!raised && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::puts(raised ? "raised" : "timeout");
  return 0;
}
