// Every subcommand named a path of the wrong kind (a folder for a file, a file for a folder, a
// pipe, an unreadable file, a file that is not what it should be) fails with exit code 1 and one
// line on stderr that names the path and says what was wrong.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "base/ProgramEnvironment.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;

test::ProcessResult Cli(std::vector<std::string> args) {
  return test::RunCli(std::move(args));
}

class CliInputFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteFileBytes(Path("file"), "not a save, not a reply, not a folder\n");
    fs::create_directory(Path("folder"));
    ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
    test::WriteFileBytes(Path("locked"), "secret");
    ASSERT_EQ(chmod(Path("locked").c_str(), 0), 0);
    fs::create_directories(Path("cfg-folder/PSPKV.CFG"));
    fs::create_directory(Path("cfg-pipe"));
    ASSERT_EQ(mkfifo(Path("cfg-pipe/PSPKV.CFG").c_str(), 0600), 0);
    fs::create_directory(Path("stick"));
    fs::create_directories(Path("save/ULUS10041"));
    test::WriteFileBytes(Path("save/ULUS10041/DATA.BIN"), "data");
    const auto pack =
        Cli({"save", "pack", Path("save/ULUS10041"), "--title", "T", "-o", Path("save.bin")});
    ASSERT_EQ(pack.exitCode, 0) << pack.err;
  }
  std::string Path(const std::string& name) const { return dir_.File(name); }

  test::TempDir dir_;
};

TEST_F(CliInputFaults, EverySubcommandSaysInOneLineWhatWasWrongWithAPath) {
  // Root reads files whatever their permissions; "file/inner" is unreadable for everyone.
  const bool root = geteuid() == 0;
  const struct {
    std::vector<std::string> args;
    std::string tried;     // the path the message names
    std::string expected;  // part of the message
    bool needsNonRoot = false;
  } kCases[] = {
      {{"checksum", "@folder"}, "folder", "it is a folder, not a file"},
      {{"checksum", "@pipe"}, "pipe", "it is not a plain file"},
      {{"checksum", "@locked"}, "locked", "Permission denied", true},
      {{"checksum", "@file/inner"}, "file/inner", "Not a directory"},
      {{"config", "show", "--folder", "@file"}, "file", "it is a file, not a folder"},
      {{"config", "show", "--folder", "@pipe"}, "pipe", "it is not a folder"},
      {{"config", "show", "--folder", "@cfg-folder"}, "cfg-folder/PSPKV.CFG", "it is a folder"},
      {{"config", "show", "--folder", "@cfg-pipe"}, "cfg-pipe/PSPKV.CFG", "not a plain file"},
      {{"config", "set", "WindowLeft", "3", "--folder", "@file"}, "file", "not a folder"},
      {{"config", "set", "WindowLeft", "3", "--folder", "@cfg-pipe"},
       "cfg-pipe/PSPKV.CFG",
       "not a plain file"},
      {{"config", "set", "WindowLeft", "3", "--folder", "@missing"},
       "missing/PSPKV.CFG",
       "there is no folder"},
      {{"save", "pack", "@file", "--title", "T", "-o", "@out.bin"}, "file", "not a folder"},
      {{"save", "pack", "@save/ULUS10041", "--title", "T", "-o", "@folder"},
       "folder",
       "it is a folder, not a file"},
      {{"save", "pack", "@save/ULUS10041", "--title", "T", "-o", "@pipe"},
       "pipe",
       "it is not a plain file"},
      {{"save", "pack", "@save/ULUS10041", "--title", "T", "-o", "@missing/out.bin"},
       "missing",
       "there is no folder"},
      {{"save", "check", "@folder"}, "folder", "it is a folder, not a file"},
      {{"save", "check", "@pipe"}, "pipe", "it is not a plain file"},
      {{"save", "check", "@file"}, "", "not a save container"},
      {{"save", "info", "@locked"}, "locked", "Permission denied", true},
      {{"save", "info", "@file"}, "", "not a save container"},
      {{"save", "install", "@folder", "--stick", "@stick"}, "folder", "it is a folder"},
      {{"save", "install", "@pipe", "--stick", "@stick"}, "pipe", "it is not a plain file"},
      {{"save", "install", "@file", "--stick", "@stick"}, "", "corrupt"},
      {{"save", "install", "@save.bin", "--stick", "@file"}, "file", "it is a file, not a folder"},
      {{"saves", "list", "--stick", "@file"}, "file", "it is a file, not a folder"},
      {{"saves", "list", "--stick", "@pipe"}, "pipe", "it is not a folder"},
      {{"save", "delete", "ULUS10041", "--stick", "@file"}, "file", "it is a file, not a folder"},
      {{"reply", "parse", "@folder"}, "folder", "it is a folder, not a file"},
      {{"reply", "parse", "@pipe"}, "pipe", "it is not a plain file"},
      {{"reply", "parse", "@locked"}, "locked", "Permission denied", true},
      {{"psp", "status", "--folder", "@file"}, "file", "it is a file, not a folder"},
      {{"psp", "status", "--folder", "@cfg-folder"}, "cfg-folder/PSPKV.CFG", "it is a folder"},
      {{"psp", "next-video-name", "@file"}, "file", "it is a file, not a folder"},
      {{"psp", "next-video-name", "@pipe"}, "pipe", "it is not a folder"},
      {{"psp", "next-video-name", "@file/inner"}, "file/inner", "not a folder"},
      {{"photo", "convert", "@folder", "--mode", "1", "--stick", "@stick"},
       "folder",
       "it is a folder, not a file"},
      {{"photo", "convert", "@pipe", "--mode", "1", "--stick", "@stick"},
       "pipe",
       "it is not a plain file"},
      {{"photo", "convert", "@file", "--mode", "1", "--stick", "@stick"},
       "file",
       "is not a picture"},
      {{"photo", "convert", "@file", "--mode", "1", "--stick", "@pipe"},
       "pipe",
       "it is not a folder"},
  };
  for (const auto& c : kCases) {
    std::vector<std::string> args = c.args;
    std::string shown;
    for (std::string& arg : args) {
      shown += arg + " ";
      if (arg[0] == '@') arg = Path(arg.substr(1));  // a path in the test's folder
    }
    SCOPED_TRACE(shown);
    if (c.needsNonRoot && root) continue;
    const auto run = Cli(args);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.rfind("pspkvx-cli: ", 0), 0u) << run.err;
    if (!c.tried.empty()) {
      EXPECT_NE(run.err.find(Path(c.tried)), std::string::npos) << run.err;
    }
    EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
  }
  // Nothing was replaced: the pipes are still pipes, no output was left behind.
  EXPECT_TRUE(fs::is_fifo(Path("pipe")));
  EXPECT_TRUE(fs::is_fifo(Path("cfg-pipe/PSPKV.CFG")));
  EXPECT_FALSE(fs::exists(Path("out.bin")));
  EXPECT_TRUE(fs::is_empty(Path("folder")));
}

TEST_F(CliInputFaults, AMissingVideoFolderIsStillAnEmptyOne) {
  const auto run = Cli({"psp", "next-video-name", Path("missing"), "--json"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "{\"name\":\"M4V00001.MP4\"}\n");
}

TEST(CliVersion, BothProgramsPrintTheirVersion) {
  for (const char* program : {"pspkvx-cli", "pspkvx-service"}) {
    SCOPED_TRACE(program);
    const auto run = test::RunProcess({test::ProgramFolderFile(program), "--version"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, VersionText() + "\n");
    EXPECT_EQ(run.out, "1.15\n");
  }
}

}  // namespace
}  // namespace pspkvx
