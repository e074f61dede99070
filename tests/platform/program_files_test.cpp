// What the updater asks of the platform: probing a program file without changing it, writing
// files beside their place before renaming them in, and starting a program that is left to run
// on its own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <sstream>
#include <thread>

#include "platform/ChildProcess.h"
#include "platform/Platform.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace pspkvx::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(ProgramFiles, TheProbeTellsARunningProgramApartAndChangesNothing) {
  test::TempDir dir;
  const std::string file = dir.File("PSPKVX");
  test::WriteFileBytes(file, "program bytes");
  const auto before = fs::last_write_time(file);
  EXPECT_EQ(ProbeWritableWithoutChange(file), WriteProbe::Writable);
  EXPECT_EQ(test::ReadFileBytes(file), "program bytes");  // not truncated
  EXPECT_EQ(fs::last_write_time(file), before);

  EXPECT_EQ(ProbeWritableWithoutChange(dir.File("missing")), WriteProbe::Missing);
  EXPECT_FALSE(fs::exists(dir.File("missing")));  // not created
  EXPECT_EQ(ProbeWritableWithoutChange(dir.path()), WriteProbe::Refused);
  // A pipe without a reader answers at once instead of blocking the probe.
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  EXPECT_EQ(ProbeWritableWithoutChange(dir.File("pipe")), WriteProbe::Refused);

  const std::string running = dir.File("running");
  fs::copy_file("/bin/sleep", running);
  {
    test::Child child({running, "30"});
    WriteProbe probe = WriteProbe::Writable;
    for (int i = 0; i < 500 && (probe = ProbeWritableWithoutChange(running)) != WriteProbe::InUse;
         ++i)
      std::this_thread::sleep_for(10ms);
    EXPECT_EQ(probe, WriteProbe::InUse);
  }
  EXPECT_EQ(ProbeWritableWithoutChange(running), WriteProbe::Writable);  // ended and collected
}

TEST(ProgramFiles, AFileWrittenBesideItsPlaceIsOnlyThereOnceItIsPutInPlace) {
  test::TempDir dir;
  const std::string path = dir.File("data");
  test::WriteFileBytes(path, "old");
  fs::permissions(path, fs::perms(0640));
  const std::optional<std::string> temporary = WriteFileBeside(path, "new", 3);
  ASSERT_TRUE(temporary);
  EXPECT_EQ(FolderOfPath(*temporary), dir.path());
  EXPECT_EQ(test::ReadFileBytes(path), "old");
  EXPECT_EQ(fs::status(*temporary).permissions(), fs::perms(0640));  // the replaced file's
  ASSERT_TRUE(PutFileInPlace(*temporary, path));
  EXPECT_EQ(test::ReadFileBytes(path), "new");
  EXPECT_FALSE(fs::exists(*temporary));

  const auto program = WriteFileBeside(dir.File("tool"), "#!", 2, FileAccess::Program);
  ASSERT_TRUE(program);
  EXPECT_EQ(fs::status(*program).permissions(), fs::perms(0755));
  EXPECT_FALSE(WriteFileBeside(dir.File("missing/x"), "x", 1));
  // A rename that cannot be done leaves the temporary file for the caller.
  fs::create_directory(dir.File("folder"));
  fs::create_directory(dir.File("folder/inside"));
  EXPECT_FALSE(PutFileInPlace(*program, dir.File("folder")));
  EXPECT_TRUE(fs::exists(*program));
}

TEST(ProgramFiles, ADetachedProgramRunsInItsFolderInItsOwnSessionAndIsNoChildOfOurs) {
  test::TempDir dir;
  // The program reports its folder, its parent and its session, then says it is done.
  ASSERT_TRUE(StartDetachedProgram(
      "/bin/sh",
      {"-c",
       "{ pwd; echo $PPID; cut -d' ' -f6 /proc/$$/stat; } > report.tmp; mv report.tmp report"},
      dir.path()));
  // Nothing of ours is left to collect: the program is not our child.
  int status = 0;
  errno = 0;
  EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
  for (int i = 0; i < 500 && !fs::exists(dir.File("report")); ++i)
    std::this_thread::sleep_for(10ms);
  std::istringstream report(test::ReadFileBytes(dir.File("report")));
  std::string folder;
  long parent = 0;
  long session = 0;
  report >> folder >> parent >> session;
  EXPECT_EQ(folder, dir.path());
  EXPECT_NE(parent, long(::getpid()));
  EXPECT_NE(session, long(::getsid(0)));

  EXPECT_FALSE(StartDetachedProgram("/nonexistent/program", {}, dir.path()));
  EXPECT_FALSE(StartDetachedProgram("/bin/true", {}, dir.File("missing")));
}

}  // namespace
}  // namespace pspkvx::platform
