// The real PSPKVX program, started as a user would (offscreen platform).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/Process.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;

TEST(Program, SecondStartEndsAtOnceWithCodeZeroWhileTheFirstRuns) {
  test::TempDir runtime;
  const std::map<std::string, std::string> env = {{"XDG_RUNTIME_DIR", runtime.path()},
                                                  {"QT_QPA_PLATFORM", "offscreen"}};
  const std::string program = test::ProgramFolderFile("PSPKVX");
  test::Child first({program}, env);
  // The first instance is up once its lock socket exists.
  const std::string socket = runtime.path() + "/PSPKVX-" + std::to_string(getuid()) + ".sock";
  for (int i = 0; i < 1000 && !test::FileExists(socket); ++i)
    std::this_thread::sleep_for(10ms);
  ASSERT_TRUE(test::FileExists(socket));

  const auto second = test::RunProcess({program}, env, 30s);
  EXPECT_FALSE(second.timedOut);
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_TRUE(first.Running());
  first.Terminate();
}

TEST(Program, SaysSoWhenThereIsNoDisplay) {
  const auto run = test::RunProcess({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u",
                                     "QT_QPA_PLATFORM", test::ProgramFolderFile("PSPKVX")},
                                    {}, 30s);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("no display"), std::string::npos) << run.err;
}

TEST(Program, SaysSoInOneLineWhenTheDisplayCannotBeOpened) {
  test::TempDir runtime;
  const auto run = test::RunProcess(
      {"/usr/bin/env", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", "DISPLAY=:97531",
       "XDG_RUNTIME_DIR=" + runtime.path(), test::ProgramFolderFile("PSPKVX")},
      {}, 30s);
  EXPECT_EQ(run.exitCode, 1);  // not an abort
  EXPECT_EQ(run.err.find("PSPKVX: cannot open the display \":97531\""), 0u) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;  // one line
}

}  // namespace
}  // namespace pspkvx
