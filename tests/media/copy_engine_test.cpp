#include "media/CopyEngine.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "base/StringFormat.h"
#include "base/StringTable.h"
#include "media/MediaTypes.h"
#include "media/PspSideScan.h"
#include "psp/StickLayout.h"
#include "support/MediaStickFixture.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using test::FileExists;
using test::ReadFileBytes;

TEST(CopyEngine, ChunkSizesKeepAboutTwentyChunksAFile) {
  const struct {
    uint64_t size;
    size_t chunk;
  } kCases[] = {{0, 2}, {100, 4}, {1 << 20, 32768}, {uint64_t(100) << 20, 524288}};
  for (const auto& c : kCases)
    EXPECT_EQ(CopyChunkSize(c.size), c.chunk) << c.size;
  EXPECT_EQ(ThumbnailTrailer("Holiday"), "Name:Holiday");
  EXPECT_EQ(ThumbnailTrailer(std::string(50, 'x')), "Name:" + std::string(35, 'x'));
}

class CopyEngineTest : public test::MediaStickTest {
 protected:
  MediaEntry EntryOf(const std::string& path) {
    MediaEntry entry;
    entry.path = path;
    entry.name = fs::path(path).filename().string();
    entry.size = static_cast<int64_t>(fs::file_size(path));
    return entry;
  }
  SendOutcome Send(int kind, const std::string& path, const std::string& subfolder = "",
                   const ManualResetEvent* stop = nullptr) {
    SendRequest request;
    request.kind = kind;
    request.entry = EntryOf(path);
    request.subfolder = subfolder;
    request.stop = stop;
    return SendToStick(Media(), request);
  }
};

TEST_F(CopyEngineTest, MusicAndPhotosGoToTheirFoldersWithProgressToAHundred) {
  const std::string song = PcFile("song.mp3", std::string(1000, 's'));
  const SendOutcome sent = Send(MediaMusic, song);
  EXPECT_EQ(sent.result, SendDone);
  EXPECT_EQ(sent.destination, OnStick("PSP/Music/song.mp3"));
  EXPECT_EQ(ReadFileBytes(OnStick("PSP/Music/song.mp3")), std::string(1000, 's'));
  const std::vector<int> progress = window_.Progress();
  EXPECT_EQ(progress.back(), 100);
  EXPECT_EQ(window_.Statuses().front(), "Copying to PSP: \"song.mp3\"");
  EXPECT_EQ(window_.Statuses().back(), "");

  // Into a group folder of the photo folder, as it is spelled on the stick.
  fs::create_directories(OnStick("PSP/PHOTO/Trips"));
  const std::string photo = PcFile("beach.jpg", "jpeg");
  EXPECT_EQ(Send(MediaPhoto, photo, "Trips").destination, OnStick("PSP/PHOTO/Trips/beach.jpg"));

  // A file of no bytes: an empty copy, and the progress still ends at 100.
  const std::string empty = PcFile("silence.mp3", "");
  EXPECT_EQ(Send(MediaMusic, empty).result, SendDone);
  EXPECT_EQ(fs::file_size(OnStick("PSP/Music/silence.mp3")), 0u);
  EXPECT_EQ(window_.Progress().back(), 100);
  EXPECT_TRUE(host_.requests().empty());
}

TEST_F(CopyEngineTest, AnExistingFileIsOverwrittenRenamedOrSkippedAsTheUserSays) {
  const std::string song = PcFile("song.mp3", "new");
  fs::create_directories(OnStick("PSP/Music"));
  const std::string onStick = OnStick("PSP/Music/song.mp3");
  const std::string renamed = OnStick("PSP/Music/song2.mp3");
  const struct {
    const char* what;
    int answer;
    std::deque<std::string> savePaths;
    int result;
    std::string stickBytes;
    bool renamedWritten;
    std::string destination;  // written, or kept
  } kCases[] = {
      {"skip", ResultCancel, {}, SendSkipped, "old", false, onStick},
      {"rename cancelled", ResultNo, {""}, SendSkipped, "old", false, onStick},
      {"rename", ResultNo, {renamed}, SendDone, "old", true, renamed},
      {"overwrite", ResultYes, {}, SendDone, "new", false, onStick},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    test::WriteFileBytes(onStick, "old");
    fs::remove(renamed);
    host_.Answer({c.answer});
    window_.savePaths = c.savePaths;
    const SendOutcome sent = Send(MediaMusic, song);
    EXPECT_EQ(sent.result, c.result);
    EXPECT_EQ(sent.destination, c.destination);
    EXPECT_EQ(ReadFileBytes(onStick), c.stickBytes);
    EXPECT_EQ(FileExists(renamed), c.renamedWritten);
  }
  EXPECT_EQ(host_.texts().front(), "The file already exists. Overwrite it?\r\n" + onStick);
  EXPECT_EQ(host_.requests().front().type, MbExistingDestination);
}

TEST_F(CopyEngineTest, AVideoGoesUnderItsNumberWithItsThumbnailAndItsTrailer) {
  const std::string video = PcFile("Holiday Trip.mp4", std::string(4000, 'v'));
  PcFile("Holiday Trip.thm", "thumb");
  fs::create_directories(OnStick("mp_root/100mnv01"));
  test::WriteFileBytes(OnStick("mp_root/100mnv01/M4V00001.MP4"), "taken");
  const SendOutcome sent = Send(MediaVideo, video);
  ASSERT_EQ(sent.result, SendDone);
  EXPECT_EQ(sent.destination, OnStick("mp_root/100mnv01/M4V00002.MP4"));
  EXPECT_EQ(sent.thumbnail, OnStick("mp_root/100mnv01/M4V00002.thm"));
  EXPECT_EQ(ReadFileBytes(sent.thumbnail), "thumbName:Holiday Trip.mp4");
  EXPECT_NE(window_.Statuses()[1].find(" to M4V00002.MP4"), std::string::npos);
}

TEST_F(CopyEngineTest, WhatDoesNotFitIsRefusedBeforeAnythingIsWritten) {
  const std::string video = PcFile("big.mp4", std::string(5000, 'v'));
  SetFreeBytes(4000);
  drive_.RefreshFreeSpace();
  EXPECT_EQ(Send(MediaVideo, video).result, SendNoRoom);
  EXPECT_EQ(host_.texts(), std::vector<std::string>{FormatString(
                               IDS_NOT_ENOUGH_SPACE, {FormatSize(4000), FormatSize(5000)})});
  EXPECT_FALSE(fs::exists(OnStick("mp_root")));
}

TEST_F(CopyEngineTest, AStoppedOrFailedCopyLeavesNoPartialFileAndKeepsTheOldOne) {
  const std::string big = PcFile("big.mp3", std::string(3 << 20, 'b'));
  fs::create_directories(OnStick("PSP/Music"));
  test::WriteFileBytes(OnStick("PSP/Music/big.mp3"), "the old song");
  // Stopped part-way (the stop comes with the tenth percent).
  ManualResetEvent stop;
  host_.Answer({ResultYes});
  window_.onProgress = [&](int percent) {
    if (percent >= 10) stop.Set();
  };
  EXPECT_EQ(Send(MediaMusic, big, "", &stop).result, SendSkipped);
  window_.onProgress = nullptr;
  EXPECT_TRUE(ReadFileBytes(OnStick("PSP/Music/big.mp3")) == "the old song");
  EXPECT_EQ(std::distance(fs::directory_iterator(OnStick("PSP/Music")), {}), 1);

  // A source that cannot be read.
  EXPECT_EQ(Send(MediaMusic, PcFile("gone.mp3", "x")).result, SendDone);
  SendRequest missing;
  missing.kind = MediaMusic;
  missing.entry = EntryOf(PcFile("vanishing.mp3", "12345"));
  fs::remove(missing.entry.path);
  EXPECT_EQ(SendToStick(Media(), missing).result, SendFailed);
  EXPECT_EQ(host_.texts().back(), StringOf(IDS_OPEN_FILE_FAILED) + "\r\n" + missing.entry.path);
  EXPECT_FALSE(FileExists(OnStick("PSP/Music/vanishing.mp3")));
}

TEST_F(CopyEngineTest, AShortWriteIsAFullStickAndLeavesNothing) {
  // A file-size limit stops the write part-way, as a full stick would.
  const std::string big = PcFile("big.mp3", std::string(100 * 1024, 'b'));
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 64 * 1024;
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  if (setrlimit(RLIMIT_FSIZE, &small) != 0) {
    std::signal(SIGXFSZ, oldHandler);
    GTEST_SKIP() << "the file-size limit cannot be lowered here";
  }
  const SendOutcome full = Send(MediaMusic, big);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(full.result, SendFailed);
  EXPECT_EQ(host_.texts().back(), StringOf(IDS_STICK_FULL_COPY_FAILED) + "\r\nbig.mp3");
  EXPECT_TRUE(fs::is_empty(OnStick("PSP/Music")));
}

TEST_F(CopyEngineTest, AvcIsToldByTheMp4sHeader) {
  std::string avc(200, '\0');
  avc.replace(140, 3, "avc");
  EXPECT_TRUE(IsAvcMp4(platform_, PcFile("avc.mp4", avc)));
  EXPECT_FALSE(IsAvcMp4(platform_, PcFile("mpeg4.mp4", std::string(200, 'm'))));
  EXPECT_FALSE(IsAvcMp4(platform_, PcFile("short.mp4", avc.substr(0, 143))));
  EXPECT_FALSE(IsAvcMp4(platform_, OnPc("missing.mp4")));
}

TEST_F(CopyEngineTest, TheStickSideOfEachPage) {
  test::WriteFileBytes(OnStick("x"), "");
  fs::create_directories(OnStick("PSP/MUSIC/Road Trip"));
  for (const char* file :
       {"PSP/MUSIC/a.MP3", "PSP/MUSIC/b.ac3", "PSP/MUSIC/notes.txt", "PSP/MUSIC/Road Trip/c.mp3",
        "PSP/PHOTO/p.JPG", "PSP/PHOTO/q.tga", "mp_root/100mnv01/M4V00001.MP4",
        "mp_root/100anv01/MAQ00001.MP4", "mp_root/100anv01/MAQ00001.THM",
        "PSP/SAVEDATA/ULUS1/PARAM.SFO", "PSP/SAVEDATA/.pspkvx-install/x"}) {
    fs::create_directories(fs::path(OnStick(file)).parent_path());
    test::WriteFileBytes(OnStick(file), "1");
  }
  const auto names = [&](int page, const std::string& group) {
    std::vector<std::string> out;
    for (const MediaEntry& entry : ScanPspSide(files_, page, group))
      out.push_back(entry.name + (entry.IsFolder() ? "/" : ""));
    std::sort(out.begin(), out.end());
    return out;
  };
  EXPECT_EQ(names(MediaVideo, ""), (std::vector<std::string>{"M4V00001.MP4", "MAQ00001.MP4"}));
  EXPECT_EQ(names(MediaMusic, ""), (std::vector<std::string>{"Road Trip/", "a.MP3", "b.ac3"}));
  EXPECT_EQ(names(MediaMusic, "road trip"), std::vector<std::string>{"c.mp3"});
  EXPECT_EQ(names(MediaPhoto, ""), (std::vector<std::string>{"p.JPG", "q.tga"}));
  EXPECT_EQ(names(kScanSavesPage, ""), std::vector<std::string>{"ULUS1/"});
  platform_.Change([](test::FakePlatform& f) { f.volumes.clear(); });
  drive_.SetState(PspSearching);
  EXPECT_TRUE(names(MediaMusic, "").empty());
}

}  // namespace
}  // namespace pspkvx
