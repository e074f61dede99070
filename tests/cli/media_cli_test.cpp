#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "media/FileList.h"
#include "support/Process.h"
#include "support/TempDir.h"
#include "support/TestPictures.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class CliMedia : public ::testing::Test {
 protected:
  CliMedia() { fs::create_directories(Stick()); }
  std::string Stick() const { return dir_.File("stick"); }
  std::string Pc(const std::string& name, const std::string& bytes = "data") const {
    const std::string path = dir_.File("pc/" + name);
    fs::create_directories(fs::path(path).parent_path());
    test::WriteFileBytes(path, bytes);
    return path;
  }
  std::string List() const { return dir_.File("music.fll"); }
  // Runs the command with --json; the exit code is checked, the JSON returned.
  json Run(std::vector<std::string> args, int exitCode = 0,
           std::map<std::string, std::string> env = {}) {
    args.push_back("--json");
    const auto run = test::RunCli(args, std::move(env));
    EXPECT_EQ(run.exitCode, exitCode) << run.err;
    last_ = run;
    return json::parse(run.out, nullptr, false);
  }
  json Send(const std::string& file, const std::string& page, std::vector<std::string> more = {},
            int exitCode = 0) {
    std::vector<std::string> args = {"send", file, "--page", page, "--stick", Stick()};
    args.insert(args.end(), more.begin(), more.end());
    return Run(args, exitCode);
  }

  test::TempDir dir_;
  test::ProcessResult last_;
};

TEST_F(CliMedia, CatalogueAddTakesThePagesFilesAndShowListsThemSorted) {
  const std::string b = Pc("b.mp3", std::string(10240, 'b'));
  const std::string a = Pc("album/A.MP3", std::string(10239, 'a'));
  Pc("notes.txt");
  const json added = Run({"catalogue", "add", "--page", "music", "--list", List(), b,
                          dir_.File("pc/album"), dir_.File("pc/notes.txt")});
  EXPECT_EQ(added["entries"], 3);  // the folder, its file and b.mp3
  EXPECT_EQ(added["skipped"], json::array({dir_.File("pc/notes.txt")}));
  // Adding again refreshes what is known.
  EXPECT_EQ(Run({"catalogue", "add", "--page", "music", "--list", List(), b})["entries"], 3);

  const json shown = Run({"catalogue", "show", "--list", List()});
  ASSERT_EQ(shown["entries"].size(), 3u);
  EXPECT_EQ(shown["entries"][0]["name"], "A.MP3");
  EXPECT_EQ(shown["entries"][0]["path"], a);
  EXPECT_EQ(shown["entries"][0]["size_text"], "10 Kb");
  EXPECT_EQ(shown["entries"][1]["name"], "album");
  EXPECT_EQ(shown["entries"][1]["attributes"], 0x10);
  EXPECT_EQ(shown["entries"][2]["size_text"], "0.01Mb");
  EXPECT_FALSE(shown.contains("refused"));
}

TEST_F(CliMedia, AListFileThatIsNotOneIsRefusedAndNeverOverwritten) {
  const std::string notAList = Pc("notes.fll", "shopping: milk, eggs");
  std::string newer(kFileListMagic, 10);
  newer += std::string("\x02\0\0\0", 4);
  const std::string newerList = Pc("newer.fll", newer);
  const struct {
    std::string file;
    int code;
  } kCases[] = {{notAList, FileListWrongMagic},
                {newerList, FileListNewerVersion},
                {dir_.File("missing.fll"), FileListCannotOpen}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.file);
    const json shown = Run({"catalogue", "show", "--list", c.file});
    EXPECT_EQ(shown, json({{"entries", json::array()}, {"refused", c.code}}));
    EXPECT_NE(last_.err, "");
  }
  const json refused =
      Run({"catalogue", "add", "--page", "music", "--list", notAList, Pc("a.mp3")}, 1);
  EXPECT_NE(refused.value("message", std::string()).find("not a PSPKVX list file"),
            std::string::npos);
  EXPECT_EQ(test::ReadFileBytes(notAList), "shopping: milk, eggs");
}

TEST_F(CliMedia, SendPutsAFileWhereThePageWouldAndScanListsIt) {
  const std::string song = Pc("song.mp3", "tune");
  Run({"group", "new", "Road", "--page", "music", "--stick", Stick()});
  const json sent = Send(song, "music", {"--group", "Road"});
  const std::string onStick = Stick() + "/PSP/Music/Road/song.mp3";
  EXPECT_EQ(sent, json({{"result", 0}, {"destination", onStick}, {"thumbnail", nullptr}}));

  // An existing file is kept unless told otherwise.
  test::WriteFileBytes(song, "new tune");
  EXPECT_EQ(Send(song, "music", {"--group", "Road"})["result"], 1);
  EXPECT_EQ(test::ReadFileBytes(onStick), "tune");
  EXPECT_EQ(Send(song, "music", {"--group", "Road", "--on-exists", "overwrite"})["result"], 0);
  EXPECT_EQ(test::ReadFileBytes(onStick), "new tune");

  const json top = Run({"stick", "scan", "--page", "music", "--stick", Stick()});
  ASSERT_EQ(top["rows"].size(), 1u);
  EXPECT_EQ(top["rows"][0]["name"], "Road");
  EXPECT_EQ(top["rows"][0]["folder"], true);
  const json inside =
      Run({"stick", "scan", "--page", "music", "--stick", Stick(), "--group", "Road"});
  ASSERT_EQ(inside["rows"].size(), 1u);
  EXPECT_EQ(inside["rows"][0]["name"], "song.mp3");
  EXPECT_EQ(inside["rows"][0]["size"], 8);
}

TEST_F(CliMedia, AVideoGoesWithItsThumbnailAndOtherVideosWaitForConversion) {
  const std::string clip = Pc("clip.mp4", std::string(200, 'v'));
  Pc("clip.thm", "picture");
  const json sent = Send(clip, "video", {"--avc"});  // the file's header says MPEG-4
  const std::string folder = Stick() + "/mp_root/100mnv01/";
  EXPECT_EQ(sent, json({{"result", 0},
                        {"destination", folder + "M4V00001.MP4"},
                        {"thumbnail", folder + "M4V00001.thm"}}));
  EXPECT_EQ(test::ReadFileBytes(folder + "M4V00001.thm"), "pictureName:clip.mp4");
  const json scanned = Run({"stick", "scan", "--page", "video", "--stick", Stick()});
  EXPECT_EQ(scanned["rows"].size(), 1u);

  const json avi = Send(Pc("film.avi"), "video", {}, 1);
  EXPECT_NE(avi.value("message", std::string()).find("not an MP4"), std::string::npos);
}

TEST_F(CliMedia, PhotosGoAsTheyAreOrConvertedByTheCopyMode) {
  fs::create_directories(dir_.File("pc"));
  test::WritePicture(dir_.File("pc/shot.jpg"), FIF_JPEG, 640, 480);
  test::WritePicture(dir_.File("pc/scan.png"), FIF_PNG, 640, 480);
  const std::string jpeg = dir_.File("pc/shot.jpg");
  EXPECT_EQ(Send(jpeg, "photo", {"--mode", "0"})["result"], 0);
  EXPECT_EQ(test::ReadFileBytes(Stick() + "/PSP/Photo/shot.jpg"), test::ReadFileBytes(jpeg));

  // Another type, or another mode, goes through the converter.
  const json png = Send(dir_.File("pc/scan.png"), "photo", {"--mode", "0"});
  EXPECT_EQ(png["destination"], Stick() + "/PSP/Photo/scan.jpg");
  EXPECT_EQ(test::ReadPictureInfo(Stick() + "/PSP/Photo/scan.jpg").format, FIF_JPEG);
  Send(jpeg, "photo", {"--mode", "2", "--on-exists", "overwrite"});
  const auto info = test::ReadPictureInfo(Stick() + "/PSP/Photo/shot.jpg");
  EXPECT_EQ(info.width, 480u);
  EXPECT_EQ(info.height, 272u);

  const json damaged = Send(Pc("broken.png", "not a picture"), "photo", {"--mode", "1"}, 1);
  EXPECT_EQ(damaged["result"], -1);
  EXPECT_NE(damaged.value("message", std::string()).find("broken.png"), std::string::npos);
}

TEST_F(CliMedia, SendSaysWhyNothingWasSent) {
  const std::string big = Pc("big.mp3", std::string(20000, 'x'));
  const json full = Run({"send", big, "--page", "music", "--stick", Stick()}, 1,
                        {{"PSPKVX_SIMULATED_CAPACITY", "8000"}});
  EXPECT_EQ(full["result"], -1);
  EXPECT_NE(full.value("message", std::string()).find("not enough space"), std::string::npos);
  EXPECT_FALSE(fs::exists(Stick() + "/PSP/Music/big.mp3"));

  const json unplugged = Run({"send", big, "--page", "music", "--stick", dir_.File("no-stick")}, 1);
  EXPECT_NE(unplugged.value("message", std::string()).find("No PSP"), std::string::npos);
  Run({"send", dir_.File("pc"), "--page", "music", "--stick", Stick()}, 1);
  EXPECT_NE(last_.err.find("folder"), std::string::npos);
  const auto badGroup =
      test::RunCli({"send", big, "--page", "music", "--stick", Stick(), "--group", "a/b"});
  EXPECT_EQ(badGroup.exitCode, 2);
}

}  // namespace
}  // namespace pspkvx
