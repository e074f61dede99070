#include <gtest/gtest.h>
#include <utime.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "support/Process.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

constexpr long kJanuary15th2005 = 1105815789;  // 2005-01-15 19:03:09 UTC

test::ProcessResult Cli(std::vector<std::string> args,
                        std::map<std::string, std::string> env = {}) {
  env.emplace("TZ", "UTC");
  return test::RunCli(std::move(args), std::move(env));
}

// Every file below a folder by relative path, with its bytes (folders as "<folder>").
std::map<std::string, std::string> Files(const std::string& folder) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error))
    files[fs::relative(it->path(), folder).generic_string()] =
        it->is_directory() ? "<folder>" : test::ReadFileBytes(it->path().string());
  return files;
}

class CliStickSaves : public ::testing::Test {
 protected:
  CliStickSaves() { fs::create_directories(Stick()); }

  std::string Stick() const { return dir_.File("stick"); }
  std::string SaveOnStick() const { return Stick() + "/PSP/SAVEDATA/ULUS10041"; }

  // A save folder ULUS10041 with a PARAM.SFO titled "Ridge Racer", packed into FILE.
  std::string Pack(const std::string& file, const std::string& data) {
    const std::string save = dir_.File(file + ".d/ULUS10041");
    fs::create_directories(save + "/SUB");
    test::WriteFileBytes(save + "/PARAM.SFO",
                         std::string(4784, 'p') + std::string("Ridge Racer\0", 12));
    test::WriteFileBytes(save + "/DATA.BIN", data);
    test::WriteFileBytes(save + "/SUB/MORE", "more");
    const auto pack = Cli({"save", "pack", save, "--title", "Ridge Racer", "-o", dir_.File(file)});
    EXPECT_EQ(pack.exitCode, 0) << pack.err;
    return dir_.File(file);
  }
  std::string Source(const std::string& file) const { return dir_.File(file + ".d/ULUS10041"); }

  TempDir dir_;
};

TEST_F(CliStickSaves, InstalledSaveIsListedWithTitleDateAndSize) {
  const std::string file = Pack("save.bin", "game data");
  const auto install = Cli({"save", "install", file, "--stick", Stick(), "--json"});
  ASSERT_EQ(install.exitCode, 0) << install.err;
  EXPECT_EQ(nlohmann::json::parse(install.out),
            nlohmann::json::parse(R"({"folder": "ULUS10041", "title": "Ridge Racer",
                                      "installed": true, "replaced": false})"));
  EXPECT_EQ(Files(SaveOnStick()), Files(Source("save.bin")));

  utimbuf times{kJanuary15th2005, kJanuary15th2005};
  ASSERT_EQ(utime(SaveOnStick().c_str(), &times), 0);
  const auto list = Cli({"saves", "list", "--stick", Stick(), "--json"});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  const nlohmann::json expected = {{"saves",
                                    {{{"title", "Ridge Racer"},
                                      {"folder", "ULUS10041"},
                                      {"date", "01/15/2005 19:03:09"},
                                      {"size", "5 Kb"},
                                      {"bytes", 4784 + 12 + 9 + 4},
                                      {"icon", SaveOnStick() + "/icon0.png"}}}}};
  EXPECT_EQ(nlohmann::json::parse(list.out), expected);
}

TEST_F(CliStickSaves, TheListFindsTheIconAndTitleWhateverTheirCase) {
  // As the PSP writes a save: ICON0.PNG in upper case; the title file here in lower case. The
  // folders above it once as the program names them and once in lower case.
  for (const char* folders : {"PSP/SAVEDATA", "psp/savedata"}) {
    SCOPED_TRACE(folders);
    fs::remove_all(Stick());
    const std::string save = Stick() + "/" + folders + "/ULUS10041";
    fs::create_directories(save);
    test::WriteFileBytes(save + "/ICON0.PNG", "png");
    test::WriteFileBytes(save + "/param.sfo",
                         std::string(4784, 'p') + std::string("Ridge Racer\0", 12));
    const auto list = Cli({"saves", "list", "--stick", Stick(), "--json"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    const nlohmann::json saves = nlohmann::json::parse(list.out)["saves"];
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0]["title"], "Ridge Racer");
    EXPECT_EQ(saves[0]["icon"], save + "/ICON0.PNG");
    EXPECT_EQ(saves[0]["bytes"], 3 + 4784 + 12);
  }
}

TEST_F(CliStickSaves, TheOverwriteQuestionIsAnsweredByTheFlags) {
  ASSERT_EQ(Cli({"save", "install", Pack("first.bin", "first"), "--stick", Stick()}).exitCode, 0);
  const std::string second = Pack("second.bin", "second");
  const auto before = Files(Stick());
  for (const char* flag : {"", "--no"}) {
    std::vector<std::string> args = {"save", "install", second, "--stick", Stick(), "--json"};
    if (*flag) args.push_back(flag);
    const auto run = Cli(args);
    EXPECT_EQ(run.exitCode, 0) << flag << ": " << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out)["installed"], false) << flag;
    EXPECT_EQ(Files(Stick()), before) << flag;
  }
  const auto yes = Cli({"save", "install", second, "--stick", Stick(), "--yes", "--json"});
  EXPECT_EQ(yes.exitCode, 0) << yes.err;
  EXPECT_EQ(nlohmann::json::parse(yes.out)["replaced"], true);
  EXPECT_EQ(Files(SaveOnStick()), Files(Source("second.bin")));
  EXPECT_EQ(Cli({"save", "install", second, "--stick", Stick(), "--yes", "--no"}).exitCode, 2);
}

TEST_F(CliStickSaves, RefusedInstallsFailWithTheirMessageAndWriteNothing) {
  const std::string good = Pack("good.bin", "game data");
  std::string damaged = test::ReadFileBytes(good);
  damaged[damaged.size() - 3] ^= 0x10;
  test::WriteFileBytes(dir_.File("damaged.bin"), damaged);
  test::WriteFileBytes(dir_.File("other.bin"), "PK\3\4 not a save");
  const struct {
    std::string file;
    std::map<std::string, std::string> env;
    const char* message;
  } kCases[] = {
      {dir_.File("damaged.bin"), {}, "Failed checksum: The downloaded save file is corrupt."},
      {dir_.File("other.bin"), {}, "The downloaded save file is corrupt."},
      {good,
       {{"PSPKVX_SIMULATED_CAPACITY", "8000"}},
       "There is not enough space on you memory stick to complete this operation."},
      {dir_.File("missing.bin"), {}, "cannot open"},
  };
  for (const auto& c : kCases) {
    const auto run = Cli({"save", "install", c.file, "--stick", Stick()}, c.env);
    EXPECT_EQ(run.exitCode, 1) << c.file;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.file << ": " << run.err;
    EXPECT_TRUE(Files(Stick()).empty()) << c.file;
  }
}

TEST_F(CliStickSaves, DeleteRemovesOneSaveFolder) {
  ASSERT_EQ(Cli({"save", "install", Pack("save.bin", "x"), "--stick", Stick()}).exitCode, 0);
  const auto run = Cli({"save", "delete", "ULUS10041", "--stick", Stick(), "--json"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::parse(R"({"deleted": "ULUS10041"})"));
  EXPECT_FALSE(fs::exists(SaveOnStick()));

  const auto list = Cli({"saves", "list", "--stick", Stick()});
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_EQ(list.out, "There are no saves on your PSP\n");
  EXPECT_EQ(Cli({"saves", "list", "--stick", Stick(), "--json"}).out, "{\"saves\":[]}\n");

  struct Case {
    std::vector<std::string> args;
    int exitCode;
  };
  for (const Case& c : std::vector<Case>{
           {{"save", "delete", "ULUS10041", "--stick", Stick()}, 1},  // gone already
           {{"save", "delete", "..", "--stick", Stick()}, 2},
           {{"save", "delete", "ULUS10041/../..", "--stick", Stick()}, 2},
           {{"save", "delete", ".pspkvx-install", "--stick", Stick()}, 2},
           {{"saves", "list", "--stick", dir_.File("unplugged")}, 1},
           {{"saves", "list"}, 2},
       }) {
    const auto failed = Cli(c.args);
    EXPECT_EQ(failed.exitCode, c.exitCode) << c.args.back() << ": " << failed.err;
    EXPECT_FALSE(failed.err.empty()) << c.args[2];
  }
  EXPECT_TRUE(fs::exists(Stick() + "/PSP/SAVEDATA"));
  EXPECT_NE(Cli({"saves", "list", "--stick", dir_.File("unplugged")})
                .err.find("No PSP Detected, please plug in your PSP using the USB cable"),
            std::string::npos);
}

}  // namespace
}  // namespace pspkvx
