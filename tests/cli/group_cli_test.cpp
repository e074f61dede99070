#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "support/Process.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

test::ProcessResult Cli(std::vector<std::string> args) {
  return test::RunCli(std::move(args));
}

// Every entry below a folder by relative path, with its bytes (folders as "<folder>").
std::map<std::string, std::string> Files(const std::string& folder) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error))
    files[fs::relative(it->path(), folder).generic_string()] =
        it->is_directory() ? "<folder>" : test::ReadFileBytes(it->path().string());
  return files;
}

class CliGroups : public ::testing::Test {
 protected:
  CliGroups() { fs::create_directories(Stick()); }
  std::string Stick() const { return dir_.File("stick"); }
  std::vector<std::string> Group(std::vector<std::string> args) const {
    args.insert(args.begin(), "group");
    args.insert(args.end(), {"--stick", Stick(), "--json"});
    return args;
  }

  TempDir dir_;
};

TEST_F(CliGroups, NewRenameAndDeleteAGroupFolder) {
  const auto made = Cli(Group({"new", "Road & Trip 2", "--page", "music"}));
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_EQ(nlohmann::json::parse(made.out), nlohmann::json({{"folder", "Road  Trip 2"}}));
  const auto photo = Cli(Group({"new", "Holidays", "--page", "photo"}));
  ASSERT_EQ(photo.exitCode, 0) << photo.err;
  EXPECT_EQ(Files(Stick()),
            (std::map<std::string, std::string>{{"PSP", "<folder>"},
                                                {"PSP/Music", "<folder>"},
                                                {"PSP/Music/Road  Trip 2", "<folder>"},
                                                {"PSP/Photo", "<folder>"},
                                                {"PSP/Photo/Holidays", "<folder>"}}));

  // The group is named whatever its case, as on the stick; the new name is cleaned.
  test::WriteFileBytes(Stick() + "/PSP/Music/Road  Trip 2/song.mp3", "tune");
  const auto renamed = Cli(Group({"rename", "road  trip 2", "Trip #3", "--page", "music"}));
  ASSERT_EQ(renamed.exitCode, 0) << renamed.err;
  EXPECT_EQ(nlohmann::json::parse(renamed.out), nlohmann::json({{"folder", "Trip 3"}}));
  EXPECT_EQ(test::ReadFileBytes(Stick() + "/PSP/Music/Trip 3/song.mp3"), "tune");

  // Deleted with its contents, without a question.
  const auto deleted = Cli(Group({"delete", "Trip 3", "--page", "music"}));
  ASSERT_EQ(deleted.exitCode, 0) << deleted.err;
  EXPECT_EQ(nlohmann::json::parse(deleted.out), nlohmann::json({{"deleted", "Trip 3"}}));
  EXPECT_EQ(Files(Stick() + "/PSP/Music"), (std::map<std::string, std::string>{}));
  EXPECT_TRUE(fs::exists(Stick() + "/PSP/Photo/Holidays"));
}

TEST_F(CliGroups, RefusedNamesAndFailuresChangeNothing) {
  fs::create_directories(Stick() + "/PSP/Music/Rock");
  fs::create_directories(Stick() + "/PSP/Music/Pop");
  test::WriteFileBytes(Stick() + "/PSP/Music/song.mp3", "tune");
  const auto before = Files(Stick());
  const struct {
    std::vector<std::string> args;
    const char* message;
  } kCases[] = {
      {{"new", "Rock/Pop", "--page", "music"}, "holds a path separator"},
      {{"new", "..", "--page", "music"}, "cannot be used"},
      {{"new", "What?", "--page", "music"}, "cannot be used"},
      {{"new", "&<>", "--page", "music"}, "empty once cleaned"},
      {{"new", "ROCK", "--page", "music"}, "A folder with that name already exists."},
      {{"rename", "Rock", "pop", "--page", "music"}, "A folder with that name already exists."},
      {{"rename", "Rock", "SONG.MP3", "--page", "music"}, "A file with that name already exists:"},
      {{"rename", "Rock", "a:b", "--page", "music"}, "cannot be used"},
      {{"rename", "Rock", "%%", "--page", "music"}, "empty once cleaned"},
      {{"rename", "Jazz", "Blues", "--page", "music"}, "there is no group folder Jazz"},
      {{"delete", "song.mp3", "--page", "music"}, "there is no group folder song.mp3"},
      {{"delete", "Rock", "--page", "photo"}, "there is no group folder Rock"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.args[1]);
    const auto run = Cli(Group(c.args));
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    const std::string message = nlohmann::json::parse(run.out).at("message");
    EXPECT_NE(message.find(c.message), std::string::npos) << message;
    EXPECT_EQ(Files(Stick()), before);
  }
}

TEST_F(CliGroups, BadUsageAndAnUnpluggedStick) {
  const struct {
    std::vector<std::string> args;
    int exitCode;
  } kCases[] = {
      {{"group", "new", "A", "--page", "video", "--stick", Stick()}, 2},
      {{"group", "new", "A", "--stick", Stick()}, 2},
      {{"group", "rename", "A", "--page", "music", "--stick", Stick()}, 2},
      {{"group", "delete", "../PSP", "--page", "music", "--stick", Stick()}, 2},
      {{"group", "rename", "A/B", "C", "--page", "music", "--stick", Stick()}, 2},
      {{"group", "new", "A", "--page", "music", "--stick", dir_.File("unplugged")}, 1},
  };
  for (const auto& c : kCases) {
    const auto run = Cli(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args[1] << " " << c.args[2] << ": " << run.err;
    EXPECT_FALSE(run.err.empty());
  }
  EXPECT_TRUE(Files(Stick()).empty());
}

}  // namespace
}  // namespace pspkvx
