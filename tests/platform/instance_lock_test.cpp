#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/Platform.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;

std::string Probe() {
  return std::string(PSPKVX_TEST_BIN_DIR) + "/instance_probe";
}

void WaitForOutput(test::Child& child, const std::string& text) {
  for (int i = 0; i < 500 && child.Output().find(text) == std::string::npos; ++i)
    std::this_thread::sleep_for(10ms);
}

TEST(InstanceLock, SecondProcessAsksTheFirstToComeForwardAndEnds) {
  test::TempDir runtime;
  const std::map<std::string, std::string> env = {{"XDG_RUNTIME_DIR", runtime.path()}};
  test::Child first({Probe(), "PSPKVX", "20000"}, env);
  WaitForOutput(first, "first");
  ASSERT_NE(first.Output().find("first"), std::string::npos);

  const auto second = test::RunProcess({Probe(), "PSPKVX", "0"}, env, 20s);
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_EQ(second.out, "second\n");

  EXPECT_EQ(first.Wait(20s), 0);
  EXPECT_NE(first.Output().find("raised"), std::string::npos);
}

TEST(InstanceLock, TheLockIsFreeAgainWhenTheHolderEnds) {
  test::TempDir runtime;
  const std::map<std::string, std::string> env = {{"XDG_RUNTIME_DIR", runtime.path()}};
  auto first = test::RunProcess({Probe(), "PSPKVX", "0"}, env, 20s);
  EXPECT_EQ(first.out, "first\ntimeout\n");
  auto again = test::RunProcess({Probe(), "PSPKVX", "0"}, env, 20s);
  EXPECT_EQ(again.out, "first\ntimeout\n");
}

TEST(InstanceLock, ARequestBeforeTheHandlerIsSetIsDeliveredLater) {
  test::TempDir runtime;
  setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
  auto platform = platform::CreatePlatform();
  auto lock = platform->AcquireInstanceLock("PSPKVX-early");
  ASSERT_TRUE(lock);
  EXPECT_FALSE(platform->AcquireInstanceLock("PSPKVX-early"));  // held, also within a process
  EXPECT_TRUE(platform->AskRunningInstanceToRaise("PSPKVX-early"));
  std::this_thread::sleep_for(100ms);
  std::atomic<int> raised{0};
  lock->SetRaiseHandler([&] { ++raised; });
  for (int i = 0; i < 200 && raised == 0; ++i)
    std::this_thread::sleep_for(10ms);
  EXPECT_EQ(raised, 1);
  lock->SetRaiseHandler({});
  lock.reset();
  unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace pspkvx
