#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <string>

#include "platform/ChildProcess.h"
#include "support/TempDir.h"

namespace pspkvx::platform {
namespace {

std::string ReadAll(ChildProcess& child) {
  std::string output;
  char buffer[64];
  for (int n; (n = child.ReadOutput(buffer, sizeof buffer, 5000)) != 0;) {
    if (n < 0) break;  // nothing for five seconds: the test fails below
    output.append(buffer, static_cast<size_t>(n));
  }
  return output;
}

TEST(ChildProcess, ArgumentsArriveWholeAndOutputAndErrorComeTogether) {
  // Each argument reaches the child as it is: no shell sees it.
  auto child = StartChildProcess(
      "/bin/sh", {"-c", "printf '%s|' \"$@\"; echo err >&2; exit 3", "sh", "a b", "$(x)", "\"q\""});
  ASSERT_TRUE(child);
  EXPECT_EQ(ReadAll(*child), "a b|$(x)|\"q\"|err\n");
  EXPECT_EQ(child->WaitFor(5000), 3);

  // The child's input is the null device, never this program's.
  auto reader = StartChildProcess("/bin/cat", {});
  ASSERT_TRUE(reader);
  EXPECT_EQ(ReadAll(*reader), "");
  EXPECT_EQ(reader->WaitFor(5000), 0);

  EXPECT_FALSE(StartChildProcess("/nonexistent/program", {}));
  test::TempDir dir;
  auto inFolder = StartChildProcess("/bin/pwd", {}, ChildOptions{true, true, dir.path()});
  ASSERT_TRUE(inFolder);
  EXPECT_NE(ReadAll(*inFolder).find(dir.path()), std::string::npos);
}

TEST(ChildProcess, TerminateEndsTheChildAndItsOwnChildren) {
  auto child = StartChildProcess("/bin/sh", {"-c", "sleep 60 & echo started; wait"});
  ASSERT_TRUE(child);
  char buffer[16];
  ASSERT_GT(child->ReadOutput(buffer, sizeof buffer, 5000), 0);
  EXPECT_FALSE(child->WaitFor(50));
  const auto before = std::chrono::steady_clock::now();
  child->Terminate();
  EXPECT_EQ(child->WaitFor(5000), 128 + SIGKILL);
  // The sleep held the output open; it is gone with its group.
  EXPECT_EQ(child->ReadOutput(buffer, sizeof buffer, 5000), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));

  // A child left running is ended and waited for with its object.
  auto left = StartChildProcess("/bin/sleep", {"60"}, ChildOptions{false, true, ""});
  ASSERT_TRUE(left);
  left.reset();
}

TEST(ChildProcess, FindProgramOnPathSkipsTheProgramItself) {
  const std::string sh = FindProgramOnPath("sh");
  ASSERT_FALSE(sh.empty());
  EXPECT_NE(FindProgramOnPath("sh", sh), sh);
  EXPECT_EQ(FindProgramOnPath("pspkvx-no-such-program"), "");
  EXPECT_EQ(FindProgramOnPath("bin/sh"), "");
}

}  // namespace
}  // namespace pspkvx::platform
