#include "psp/StickLayout.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "psp/PspDrive.h"
#include "psp/PspStick.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using test::FileExists;
using test::ReadFileBytes;

constexpr uint64_t kGiB = uint64_t(1) << 30;

// A ready PSP whose stick is a temporary folder on letter 'G'.
class StickTest : public ::testing::Test {
 protected:
  StickTest() {
    SetConfigDefaults(config_, "/docs");
    root_ = dir_.path() + "/";
    platform_.PlugInPsp('G', root_, kGiB, kGiB / 2);
    drive_.Poll();
  }

  std::string Stick(const std::string& relative) const { return root_ + relative; }

  test::TempDir dir_;
  test::FakePlatform platform_;
  AppConfig config_{};
  std::string root_;
  CPspDrive drive_{platform_, config_, platform::kOsNt};
  PspStick stick_{platform_, drive_};
};

TEST_F(StickTest, NextVideoNameTakesTheFirstGapInAnyCase) {
  const std::string folder = Stick("mp_root/100mnv01/");
  EXPECT_EQ(NextVideoName(platform_, folder, false), "M4V00001.MP4");  // not even created yet
  fs::create_directories(folder);
  EXPECT_EQ(NextVideoName(platform_, folder, false), "M4V00001.MP4");
  EXPECT_EQ(NextVideoName(platform_, folder, true), "MAQ00001.MP4");
  test::WriteFileBytes(folder + "M4V00001.MP4", "");
  test::WriteFileBytes(folder + "M4V00003.MP4", "");
  test::WriteFileBytes(folder + "M4V00001.THM", "");
  EXPECT_EQ(NextVideoName(platform_, folder, false), "M4V00002.MP4");
  EXPECT_EQ(NextVideoName(platform_, folder, true), "MAQ00001.MP4");  // other prefix
  test::WriteFileBytes(folder + "m4v00002.mp4", "");  // lower case still counts as taken
  fs::create_directory(folder + "M4V00004.MP4");      // so does a folder
  EXPECT_EQ(NextVideoName(platform_, folder, false), "M4V00005.MP4");
}

TEST_F(StickTest, EveryVideoNameTakenMeansTheStickIsFull) {
  std::vector<platform::FolderEntry> all;
  for (int n = 1; n <= kLastVideoNumber; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "M4V%05d.MP4", n);
    all.push_back({name, false});
  }
  const std::string folder = Stick("mp_root/100mnv01/");
  platform_.listings[folder] = all;
  EXPECT_EQ(NextVideoName(platform_, folder, false), "");
  EXPECT_EQ(stick_.GetStickPath(StickMpeg4Video, "x"), "");
  EXPECT_EQ(stick_.NextVideoNameFor("a.avi", "b", false), "");
  all.erase(all.begin() + 99997);  // 99998 is free again
  platform_.listings[folder] = all;
  EXPECT_EQ(NextVideoName(platform_, folder, false), "M4V99998.MP4");
}

TEST_F(StickTest, MakeFoldersCreatesEveryFolderAlongThePathButNoDriveRoot) {
  EXPECT_EQ(MakeFolders(platform_, ""), 0);
  EXPECT_EQ(MakeFolders(platform_, Stick("PSP/SAVEDATA/GAME001")), 1);
  EXPECT_TRUE(fs::is_directory(Stick("PSP/SAVEDATA/GAME001")));
  EXPECT_EQ(MakeFolders(platform_, Stick("PSP/SAVEDATA")), 1);  // existing: still fine

  platform_.ClearLog();
  MakeFolders(platform_, "E:/PSP//Music");
  EXPECT_EQ(platform_.createdFolders, std::vector<std::string>({"E:/PSP", "E:/PSP//Music"}));
}

TEST_F(StickTest, GetStickPathPutsEachKindInItsFolder) {
  const struct {
    int kind;
    std::string expected;
    std::string folder;
  } cases[] = {
      {StickSaves, Stick("PSP/SAVEDATA/NAME"), Stick("PSP/SAVEDATA")},
      {StickPhotos, Stick("PSP/Photo/NAME"), Stick("PSP/Photo")},
      {StickMpeg4Video, Stick("mp_root/100mnv01/M4V00001.MP4"), Stick("mp_root/100mnv01")},
      {StickAvcVideo, Stick("mp_root/100anv01/MAQ00001.MP4"), Stick("mp_root/100anv01")},
      {StickMusic, Stick("PSP/Music/NAME"), Stick("PSP/Music")},
      {StickGameUpdate, "", ""},
      {StickFullPath, "NAME", ""},
      {7, "", ""},
      {-1, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    EXPECT_EQ(stick_.GetStickPath(c.kind, "NAME"), c.expected);
    if (!c.folder.empty()) {
      EXPECT_TRUE(fs::is_directory(c.folder));
    }
  }
  EXPECT_FALSE(fs::exists(Stick("PSP/GAME")));
  EXPECT_EQ(stick_.NextVideoNameFor("clip.avi", "Clip", true), "MAQ00001.MP4");
  EXPECT_EQ(stick_.NextVideoNameFor("", "Clip", true), "");
  EXPECT_EQ(stick_.NextVideoNameFor("clip.avi", "", false), "");

  // A letter with no mounted volume behind it gives no paths at all.
  platform_.Change([](test::FakePlatform& f) { f.volumes.clear(); });
  EXPECT_EQ(stick_.GetStickPath(StickSaves, "NAME"), "");
  EXPECT_EQ(stick_.NextVideoNameFor("clip.avi", "Clip", false), "");
}

TEST_F(StickTest, WriteToStickWritesFilesAndFolderEntries) {
  const std::string data = "save data";
  EXPECT_EQ(stick_.WriteToStick(u"\\GAME001", nullptr, 0, 0, StickSaves, ""), 0);
  EXPECT_TRUE(fs::is_directory(Stick("PSP/SAVEDATA/GAME001")));
  EXPECT_EQ(stick_.LastFile(), Stick("PSP/SAVEDATA/GAME001/"));
  EXPECT_TRUE(fs::is_empty(Stick("PSP/SAVEDATA/GAME001")));  // a folder entry writes no file

  EXPECT_EQ(
      stick_.WriteToStick(u"\\GAME001\\DATA.BIN", data.data(), data.size(), 1, StickSaves, ""), 0);
  EXPECT_EQ(ReadFileBytes(Stick("PSP/SAVEDATA/GAME001/DATA.BIN")), data);
  EXPECT_EQ(stick_.Written(), data.size());
  EXPECT_EQ(stick_.LastFile(), Stick("PSP/SAVEDATA/GAME001/DATA.BIN"));

  // Each character keeps its low byte; either separator works; missing folders are made.
  EXPECT_EQ(stick_.WriteToStick(u"/NEW/ICON\u0130.PNG", "x", 1, 1, StickGameUpdate, ""), 0);
  EXPECT_TRUE(FileExists(Stick("PSP/GAME/UPDATE/NEW/ICON0.PNG")));
  EXPECT_EQ(stick_.WriteToStick(u"A.MP4", "x", 1, 1, StickFullPath, ""), 0);
  EXPECT_TRUE(FileExists(Stick("mp_root/100mnv01/A.MP4")));
  EXPECT_EQ(stick_.WriteToStick(u"\\B.MP4", "x", 1, 1, StickAvcVideo, ""), 0);
  EXPECT_TRUE(FileExists(Stick("mp_root/100anv01/B.MP4")));

  // With a base folder the kind does not matter.
  const std::string base = dir_.File("pc/backup");
  EXPECT_EQ(stick_.WriteToStick(u"\\GAME002\\DATA.BIN", "y", 1, 1, StickMusic, base), 0);
  EXPECT_EQ(ReadFileBytes(base + "/GAME002/DATA.BIN"), "y");
}

TEST_F(StickTest, WriteToStickReportsItsCodes) {
  const std::string data(100, 'd');
  EXPECT_EQ(stick_.WriteToStick(u"", data.data(), data.size(), 1, StickSaves, ""), -3);

  // Names that would leave the folder are refused and nothing is written.
  for (const std::u16string name : {u"\\..\\..\\outside.bin", u"\\GAME/../../outside.bin",
                                    u"\\C:\\outside.bin", u"\\GAME\u0100X\\DATA.BIN", u".."}) {
    EXPECT_EQ(stick_.WriteToStick(name, data.data(), data.size(), 1, StickSaves, ""), -1);
  }
  EXPECT_FALSE(FileExists(dir_.File("outside.bin")));
  EXPECT_FALSE(FileExists(Stick("PSP/outside.bin")));

  platform_.failFileCreation = true;
  EXPECT_EQ(stick_.WriteToStick(u"\\A.BIN", data.data(), data.size(), 1, StickSaves, ""), -1);
  EXPECT_EQ(stick_.Written(), 0u);
  platform_.failFileCreation = false;

  platform_.writeLimit = 40;
  EXPECT_EQ(stick_.WriteToStick(u"\\B.BIN", data.data(), data.size(), 1, StickSaves, ""), -2);
  EXPECT_EQ(stick_.Written(), 40u);
  EXPECT_EQ(ReadFileBytes(Stick("PSP/SAVEDATA/B.BIN")), data.substr(0, 40));  // left as written

  // Unplugged: nothing to write to.
  platform_.writeLimit.reset();
  platform_.Change([](test::FakePlatform& f) { f.volumes.clear(); });
  EXPECT_EQ(stick_.WriteToStick(u"\\C.BIN", data.data(), data.size(), 1, StickSaves, ""), -1);
}

TEST_F(StickTest, AShortWriteOnARealFileIsReportedShort) {
  // A file-size limit stops the write part-way, as a full stick would (root is bound by it
  // too). Where the limit cannot be lowered the test has nothing to show.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 4096;
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  if (setrlimit(RLIMIT_FSIZE, &small) != 0) {
    std::signal(SIGXFSZ, oldHandler);
    GTEST_SKIP() << "the file-size limit cannot be lowered here";
  }
  const std::string data(10000, 'z');
  const int result = stick_.WriteToStick(u"\\BIG.BIN", data.data(), data.size(), 1, StickSaves, "");
  const uint64_t written = stick_.Written();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(result, -2);
  EXPECT_EQ(written, 4096u);
  EXPECT_EQ(fs::file_size(Stick("PSP/SAVEDATA/BIG.BIN")), 4096u);
}

TEST(WriteToStickMessage, GivesTheTextOfEachCode) {
  EXPECT_EQ(WriteToStickMessage(-2, 100, 40, true), "Out of space. The memory stick is full.");
  EXPECT_EQ(WriteToStickMessage(-2, 100, 40, false),
            "Error writing to PSP memory stick. May be out of free space.");
  EXPECT_EQ(WriteToStickMessage(-1, 100, 0, false),
            "Could not create a file on the PSP memory stick.");
  EXPECT_EQ(WriteToStickMessage(-3, 5000000000, 4294967296, false),
            "Unknown error -3 writing to PSP memory stick.\nWriting 5000000000 bytes, managed "
            "4294967296.");
}

}  // namespace
}  // namespace pspkvx
