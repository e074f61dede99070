// online letters / games / saves / install and saves backup against the real service.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "base/StringTable.h"
#include "support/Process.h"
#include "support/ServiceProcess.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class CliBrowse : public ::testing::Test {
 protected:
  CliBrowse() : service_(dir_.File("service.db")) {
    fs::create_directories(Stick() + "/PSP/SAVEDATA");
  }
  test::ProcessResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--service", service_.HostPort()});
    return test::RunCli(std::move(args), {}, std::chrono::seconds(60));
  }
  json Json(std::vector<std::string> args) {
    args.push_back("--json");
    const test::ProcessResult run = Cli(std::move(args));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.exitCode == 0 ? json::parse(run.out) : json();
  }
  std::string Stick() const { return dir_.File("stick"); }

  test::TempDir dir_;
  test::ServiceProcess service_;
};

TEST_F(CliBrowse, LettersGamesAndSavesAsTheListsShowThem) {
  const json letters = Json({"online", "letters"});
  ASSERT_FALSE(letters["rows"].empty());
  EXPECT_EQ(letters["empty_text"], nullptr);
  bool digit = false;
  for (const auto& row : letters["rows"]) {
    const std::string text = row;
    digit = digit || text.find("  (") == 1;
  }
  EXPECT_TRUE(digit);

  const json games = Json({"online", "games", "b"});
  ASSERT_FALSE(games["rows"].empty());
  for (const auto& game : games["rows"]) {
    EXPECT_EQ(std::string(game["name"]).substr(0, 1), "B");
    EXPECT_NE(game["url"], "");
    EXPECT_TRUE(game["region"] == "US" || game["region"] == "EUR" || game["region"] == "JAP" ||
                game["region"] == "??");
  }

  // The saves of a game chosen by its row, and the same list by its address.
  json saves;
  size_t game = 0;
  for (; game < games["rows"].size(); ++game) {
    saves = Json({"online", "saves", "B", std::to_string(game)});
    if (!saves["rows"].empty()) break;
  }
  ASSERT_LT(game, games["rows"].size());
  const json& save = saves["rows"][0];
  EXPECT_TRUE(save["save_id"].is_number());
  EXPECT_TRUE(save["size"].is_number());
  EXPECT_NE(std::string(save["title"]).find("  (" + std::string(save["size_text"]) + ")"),
            std::string::npos);
  EXPECT_EQ(std::string(save["game"]).rfind(std::string(games["rows"][game]["name"]), 0), 0u);
  const json byUrl = Json({"online", "saves", "--url", games["rows"][game]["url"]});
  ASSERT_EQ(byUrl["rows"].size(), saves["rows"].size());
  EXPECT_EQ(byUrl["rows"][0]["game"], "??");
  EXPECT_EQ(byUrl["rows"][0]["url"], save["url"]);

  const auto missing = Cli({"online", "saves", "B", "99", "--json"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(Cli({"online", "games", "%"}).exitCode, 2);
  EXPECT_EQ(Cli({"online", "letters", "--region", "4"}).exitCode, 2);
}

TEST_F(CliBrowse, InstallBackupAndRestore) {
  // A save of the service, by its description address.
  const json games = Json({"online", "games", "A"});
  std::string url;
  for (size_t game = 0; game < games["rows"].size() && url.empty(); ++game) {
    const json saves = Json({"online", "saves", "A", std::to_string(game)});
    if (!saves["rows"].empty()) url = saves["rows"][0]["url"];
  }
  ASSERT_FALSE(url.empty());
  const json installed = Json({"online", "install", url, "--stick", Stick()});
  EXPECT_EQ(installed["result"], 0);
  ASSERT_TRUE(installed["folder"].is_string());
  const std::string folder = installed["folder"];
  const std::string onStick = Stick() + "/PSP/SAVEDATA/" + folder;
  ASSERT_TRUE(fs::is_directory(onStick));
  // Again without --yes: the save there is kept.
  EXPECT_EQ(Json({"online", "install", url, "--stick", Stick()})["folder"], nullptr);

  const std::string out = dir_.File("kept/saves");
  const json backup = Json({"saves", "backup", folder, "--stick", Stick(), "-o", out});
  ASSERT_EQ(backup["files"].size(), 1u);
  const std::string file = backup["files"][0];
  EXPECT_EQ(file, fs::absolute(out + "/" + folder + ".pspsave").string());
  const auto again = Cli({"saves", "backup", folder, "--stick", Stick(), "-o", out});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_NE(again.err.find("--force"), std::string::npos);
  EXPECT_EQ(Cli({"saves", "backup", folder, "--stick", Stick(), "-o", out, "--force"}).exitCode, 0);

  fs::remove_all(onStick);
  EXPECT_EQ(Json({"save", "install", file, "--stick", Stick()})["folder"], folder);
  EXPECT_TRUE(fs::is_directory(onStick));
}

TEST_F(CliBrowse, FailuresSayWhatWasAskedAndWhatAnswered) {
  const auto gone = Cli({"online", "install", service_.Base() + "/savedesc.asp?save_id=999999",
                         "--stick", Stick(), "--json"});
  EXPECT_EQ(gone.exitCode, 1);
  EXPECT_NE(
      json::parse(gone.out)["message"].get<std::string>().find(StringOf(IDS_SAVE_FILE_MISSING)),
      std::string::npos);
  EXPECT_TRUE(fs::is_empty(Stick() + "/PSP/SAVEDATA"));

  EXPECT_EQ(json::parse(Cli({"online", "picture-key", "http://s/png/x.png", "--json"}).out)["key"],
            "x.png");
  EXPECT_EQ(json::parse(Cli({"online", "picture-key", "http://s/png/", "--json"}).out)["key"],
            nullptr);

  const std::string base = service_.Base();
  service_.Kill();
  const auto down = Cli({"online", "letters", "--json"});
  EXPECT_EQ(down.exitCode, 1);
  EXPECT_NE(down.err.find(base), std::string::npos) << down.err;
  EXPECT_FALSE(json::parse(down.out)["message"].get<std::string>().empty());
}

}  // namespace
}  // namespace pspkvx
