#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

#include "saves/ContainerScramble.h"
#include "saves/ContainerWriter.h"
#include "saves/SaveContainer.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

using test::TempDir;

test::ProcessResult Cli(std::vector<std::string> args) {
  return test::RunCli(std::move(args));
}

// A save folder SAVEDIR/ULJS00001 with two files and a subfolder.
std::string MakeSaveFolder(const TempDir& dir) {
  const std::string save = dir.File("ULJS00001");
  std::filesystem::create_directories(save + "/SUB");
  test::WriteFileBytes(save + "/PARAM.SFO", std::string(4900, 'p'));
  test::WriteFileBytes(save + "/DATA.BIN", "game data");
  test::WriteFileBytes(save + "/SUB/MORE", "more");
  return save;
}

std::string Utf16Le(const std::string& text) {
  std::string out;
  for (char c : text)
    out += {c, '\0'};
  return out;
}

// Rewrites the container file with body bytes replaced before it is sealed again.
void RewriteBody(const std::string& path, size_t bodyOffset, const std::string& replacement) {
  std::string bytes = test::ReadFileBytes(path);
  std::vector<uint8_t> container(bytes.begin(), bytes.end());
  UnscrambleBody(container.data() + kContainerHeaderSize, container.size() - kContainerHeaderSize);
  std::copy(replacement.begin(), replacement.end(),
            container.begin() + static_cast<std::ptrdiff_t>(kContainerHeaderSize + bodyOffset));
  SealContainer(container);
  test::WriteFileBytes(path, std::string(container.begin(), container.end()));
}

TEST(CliSave, PackThenCheckAndInfoShowTheSave) {
  TempDir dir;
  const std::string save = MakeSaveFolder(dir);
  const std::string file = dir.File("save.bin");
  const auto pack =
      Cli({"save", "pack", save, "--title", "Everybody's Golf", "-o", file, "--json"});
  ASSERT_EQ(pack.exitCode, 0) << pack.err;
  const auto packed = nlohmann::json::parse(pack.out);
  EXPECT_EQ(packed["file"], file);
  EXPECT_EQ(packed["bytes"], test::ReadFileBytes(file).size());

  const auto check = Cli({"save", "check", file, "--json"});
  EXPECT_EQ(check.exitCode, 0) << check.err;
  const auto verdict = nlohmann::json::parse(check.out);
  EXPECT_EQ(verdict["code"], 0);
  EXPECT_EQ(verdict["meaning"], "valid container");

  const auto info = Cli({"save", "info", file, "--json"});
  ASSERT_EQ(info.exitCode, 0) << info.err;
  EXPECT_EQ(nlohmann::json::parse(info.out), nlohmann::json::parse(R"({
      "title": "Everybody's Golf", "folder": "ULJS00001", "records": [
        {"kind": 0, "name": "\\ULJS00001", "length": 0},
        {"kind": 1, "name": "\\ULJS00001\\DATA.BIN", "length": 9},
        {"kind": 1, "name": "\\ULJS00001\\PARAM.SFO", "length": 4900},
        {"kind": 0, "name": "\\ULJS00001\\SUB", "length": 0},
        {"kind": 1, "name": "\\ULJS00001\\SUB\\MORE", "length": 4}]})"));
}

TEST(CliSave, CheckGivesTheCodeAndFailsForEveryUnusableContainer) {
  TempDir dir;
  const std::string save = MakeSaveFolder(dir);
  const std::string good = dir.File("good.bin");
  ASSERT_EQ(Cli({"save", "pack", save, "--title", "t", "-o", good}).exitCode, 0);
  const std::string packed = test::ReadFileBytes(good);

  std::string damaged = packed;
  damaged[kContainerHeaderSize + 10] ^= 1;
  test::WriteFileBytes(dir.File("damaged.bin"), damaged);
  std::string newer = packed;
  newer[13] = '2';
  test::WriteFileBytes(dir.File("newer.bin"), newer);
  test::WriteFileBytes(dir.File("other.bin"), "PK\3\4 not a save");
  test::WriteFileBytes(dir.File("oldkind.bin"), packed);
  RewriteBody(dir.File("oldkind.bin"), 521, "\2");  // the record after the folder record
  // The second record, "\ULJS00001\DATA.BIN", becomes "\ULJS00001\..\..\XX".
  test::WriteFileBytes(dir.File("escape.bin"), packed);
  RewriteBody(dir.File("escape.bin"), 521 + 5 + 2 * 11, Utf16Le("..\\..\\XX"));
  test::WriteFileBytes(dir.File("cut.bin"), packed.substr(0, packed.size() - 2));

  struct Case {
    const char* file;
    int code;
    const char* message;  // the start of the message on stderr
  };
  for (const Case c :
       {Case{"damaged.bin", -2, "Failed checksum: The downloaded save file is corrupt."},
        Case{"newer.bin", -1, "Cannot use this save. It is made for a newer version"},
        Case{"other.bin", -3, "The downloaded save file is corrupt."},
        Case{"oldkind.bin", -5, "Invalid Save File!! Old beta style!!"},
        Case{"escape.bin", -4, "The downloaded save file is corrupt."},
        Case{"cut.bin", -2, "Failed checksum:"}}) {
    const auto run = Cli({"save", "check", dir.File(c.file), "--json"});
    EXPECT_EQ(run.exitCode, 1) << c.file;
    EXPECT_EQ(nlohmann::json::parse(run.out)["code"], c.code) << c.file << ": " << run.out;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.file << ": " << run.err;
    const auto info = Cli({"save", "info", dir.File(c.file)});
    EXPECT_EQ(info.exitCode, 1) << c.file;
    EXPECT_NE(info.err.find(c.message), std::string::npos) << c.file << ": " << info.err;
  }
}

TEST(CliSave, BadUsageAndFailedOperationsHaveTheirExitCodes) {
  TempDir dir;
  const std::string save = MakeSaveFolder(dir);
  struct Case {
    std::vector<std::string> args;
    int exitCode;
  };
  for (const Case& c : std::vector<Case>{
           {{"save"}, 2},
           {{"save", "pack", save, "-o", dir.File("x.bin")}, 2},  // no title
           {{"save", "pack", save, "--title", "t"}, 2},           // no output
           {{"save", "pack", save, "--title", std::string(2201, 't'), "-o", dir.File("x.bin")}, 2},
           {{"save", "pack", dir.File("missing"), "--title", "t", "-o", dir.File("x.bin")}, 1},
           {{"save", "pack", save, "--title", "t", "-o", dir.File("no/such/folder/x.bin")}, 1},
           {{"save", "check"}, 2},
           {{"save", "check", dir.File("missing.bin")}, 1},
           {{"save", "info", dir.File("missing.bin")}, 1},
       }) {
    const auto run = Cli(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args.back() << ": " << run.err;
    EXPECT_FALSE(run.err.empty()) << c.args.back();
  }
  EXPECT_FALSE(test::FileExists(dir.File("x.bin")));
}

}  // namespace
}  // namespace pspkvx
