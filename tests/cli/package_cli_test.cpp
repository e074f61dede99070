// package upgrade / package container as a release script uses them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "base/LittleEndian.h"
#include "support/Process.h"
#include "support/TempDir.h"
#include "update/UpgradeFile.h"
#include "update/UpgradePackage.h"

namespace pspkvx {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

test::ProcessResult Cli(std::vector<std::string> args) {
  return test::RunCli(std::move(args), {}, std::chrono::seconds(60));
}

std::vector<uint8_t> FileBytes(const std::string& path) {
  const std::string bytes = test::ReadFileBytes(path);
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

TEST(CliPackage, UpgradeMakesAPackageOfTheFilesAndContainerPutsItIntoARelease) {
  test::TempDir dir;
  fs::create_directories(dir.File("release/sub"));
  const std::string updater =
      "\x7F"
      "ELF updater";
  test::WriteFileBytes(dir.File("updater"), updater);
  test::WriteFileBytes(dir.File("release/PSPKVX"), "#!/bin/sh\necho new\n");
  test::WriteFileBytes(dir.File("release/sub/notes.txt"), std::string(3000, 'n'));
  const std::string package = dir.File("upgrade");
  const auto made = Cli({"package", "upgrade", "--updater", dir.File("updater"), "-o", package,
                         dir.File("release/PSPKVX"), dir.File("release/sub/notes.txt"), "--json"});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  const json report = json::parse(made.out);
  EXPECT_EQ(report["file"], package);
  EXPECT_EQ(report["bytes"], fs::file_size(package));
  EXPECT_EQ(report["payload"], fs::file_size(package) - updater.size() - 4);
  EXPECT_EQ(report["files"], json::parse(R"([{"name":"PSPKVX","bytes":19},
                                             {"name":"notes.txt","bytes":3000}])"));
  EXPECT_EQ(fs::status(package).permissions(), fs::perms(0755));

  // The files under their own names, as the updater reads them.
  const std::vector<uint8_t> bytes = FileBytes(package);
  const ArchiveReading reading = ReadUpgradePackage(bytes);
  ASSERT_TRUE(reading.ok()) << reading.reason;
  ASSERT_EQ(reading.entries.size(), 2u);
  EXPECT_EQ(reading.entries[0].name, "PSPKVX");
  EXPECT_EQ(reading.entries[1].name, "notes.txt");
  const auto notes = reading.DataOf(reading.entries[1]);
  EXPECT_EQ(std::string(notes.begin(), notes.end()), std::string(3000, 'n'));

  const auto contained =
      Cli({"package", "container", package, "-o", dir.File("release.bin"), "--json"});
  ASSERT_EQ(contained.exitCode, 0) << contained.err;
  EXPECT_EQ(json::parse(contained.out)["bytes"], fs::file_size(dir.File("release.bin")));
  std::vector<uint8_t> buffer = FileBytes(dir.File("release.bin"));
  PrependLe32Length(buffer);
  const UpgradeProgram program = ReadUpgradeProgram(buffer);
  ASSERT_EQ(program.result, UpgradeWritten);
  EXPECT_EQ(program.bytes, bytes);
}

TEST(CliPackage, RefusedInputsWriteNothing) {
  test::TempDir dir;
  fs::create_directories(dir.File("one"));
  fs::create_directories(dir.File("two"));
  test::WriteFileBytes(dir.File("updater"), "updater");
  test::WriteFileBytes(dir.File("one/a"), "a");
  test::WriteFileBytes(dir.File("two/a"), "other a");
  test::WriteFileBytes(dir.File("back\\slash"), "x");
  test::WriteFileBytes(dir.File("junk"), "not a package");
  const std::string out = dir.File("out");
  const struct {
    const char* what;
    std::vector<std::string> args;
    int exitCode;
  } cases[] = {
      {"two files of one name",
       {"package", "upgrade", "--updater", dir.File("updater"), "-o", out, dir.File("one/a"),
        dir.File("two/a")},
       2},
      {"a name the updater refuses",
       {"package", "upgrade", "--updater", dir.File("updater"), "-o", out, dir.File("back\\slash")},
       2},
      {"no files", {"package", "upgrade", "--updater", dir.File("updater"), "-o", out}, 2},
      {"a missing file",
       {"package", "upgrade", "--updater", dir.File("updater"), "-o", out, dir.File("gone")},
       1},
      {"a folder as the updater",
       {"package", "upgrade", "--updater", dir.File("one"), "-o", out, dir.File("one/a")},
       1},
      {"an output folder that is missing",
       {"package", "upgrade", "--updater", dir.File("updater"), "-o", dir.File("no/out"),
        dir.File("one/a")},
       1},
      {"a container of something that is no package",
       {"package", "container", dir.File("junk"), "-o", out},
       1},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("--json");
    const auto result = Cli(args);
    EXPECT_EQ(result.exitCode, c.exitCode) << c.what << ": " << result.err;
    if (c.exitCode == 1) {
      EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << c.what;
      EXPECT_TRUE(json::parse(result.out).contains("message")) << c.what;
    }
    EXPECT_FALSE(fs::exists(out)) << c.what;
    EXPECT_FALSE(fs::exists(dir.File("no"))) << c.what;
  }
}

}  // namespace
}  // namespace pspkvx
