#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "base/Thread.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;

// An owner whose routines are chosen per kind by the test.
struct ScriptedOwner : IThreadOwner {
  void RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t parameter) override {
    lastKind = kind;
    lastParameter = parameter;
    runningDuringWork = CThread::RunningCount();
    if (kind == ThreadPollPsp) {
      // A polling routine: works until asked to stop.
      while (!stop.WaitFor(5ms))
        ++polls;
    } else if (kind == ThreadBatch) {
      // A routine that ignores its stop event for a while.
      std::this_thread::sleep_for(std::chrono::milliseconds(stubbornMs));
      finishedStubborn = true;
    }
  }
  std::atomic<int> lastKind{-1};
  std::atomic<uintptr_t> lastParameter{0};
  std::atomic<int> runningDuringWork{0};
  std::atomic<int> polls{0};
  std::atomic<bool> finishedStubborn{false};
  int stubbornMs = 0;
};

TEST(CThread, RunsTheRoutineOfItsKindThenSetsDoneAndCallsBack) {
  ScriptedOwner owner;
  std::atomic<int> calledBackWith{-1};
  const int before = CThread::RunningCount();
  auto thread =
      CThread::Start(&owner, ThreadLoadLists, 42, [&](int kind) { calledBackWith = kind; });
  ASSERT_TRUE(thread);
  ASSERT_TRUE(thread->DoneEvent().WaitFor(5s));
  ASSERT_TRUE(thread->WaitForEnd(5s));
  EXPECT_EQ(owner.lastKind, ThreadLoadLists);
  EXPECT_EQ(owner.lastParameter, 42u);
  EXPECT_EQ(owner.runningDuringWork, before + 1);
  EXPECT_EQ(calledBackWith, ThreadLoadLists);
  EXPECT_EQ(CThread::RunningCount(), before);
  EXPECT_FALSE(thread->StopEvent().IsSet());
}

TEST(CThread, KindWithoutRoutineEndsAtOnce) {
  ScriptedOwner owner;
  auto thread = CThread::Start(&owner, ThreadAccount, 0);
  ASSERT_TRUE(thread);
  EXPECT_TRUE(thread->WaitForEnd(5s));
  // Asking a finished worker to stop sets nothing.
  thread->RequestStop();
  EXPECT_FALSE(thread->StopEvent().IsSet());
}

TEST(CThread, RequestStopEndsAPollingRoutine) {
  ScriptedOwner owner;
  auto thread = CThread::Start(&owner, ThreadPollPsp, 0, {}, ThreadPriorityBelowNormal);
  ASSERT_TRUE(thread);
  while (owner.polls < 2)
    std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(thread->IsRunning());
  thread->RequestStop();
  EXPECT_TRUE(thread->StopEvent().IsSet());
  EXPECT_TRUE(thread->WaitForEnd(5s));
  CThread::StopAndDelete(std::move(thread), 4);
}

TEST(CThread, StopAndDeleteWaitsOnlyAsLongAsAllowed) {
  ScriptedOwner owner;
  owner.stubbornMs = 3000;
  auto thread = CThread::Start(&owner, ThreadBatch, 0, {}, ThreadPriorityHighest);
  ASSERT_TRUE(thread);
  ManualResetEvent& done = thread->DoneEvent();
  (void)done;
  const auto start = std::chrono::steady_clock::now();
  CThread::StopAndDelete(std::move(thread), 1);
  const auto waited = std::chrono::steady_clock::now() - start;
  // The bounded wait gave up long before the routine's end; the routine still finishes.
  EXPECT_LT(waited, 2900ms);
  EXPECT_FALSE(owner.finishedStubborn);
  for (int i = 0; i < 500 && !owner.finishedStubborn; ++i)
    std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(owner.finishedStubborn);
  for (int i = 0; i < 500 && CThread::RunningCount() != 0; ++i)
    std::this_thread::sleep_for(10ms);
  EXPECT_EQ(CThread::RunningCount(), 0);
}

TEST(CThread, StopAndDeleteWithoutLimitWaitsForTheEnd) {
  ScriptedOwner owner;
  owner.stubbornMs = 300;
  auto thread = CThread::Start(&owner, ThreadBatch, 0);
  ASSERT_TRUE(thread);
  CThread::StopAndDelete(std::move(thread), 0);
  EXPECT_TRUE(owner.finishedStubborn);
}

}  // namespace
}  // namespace pspkvx
