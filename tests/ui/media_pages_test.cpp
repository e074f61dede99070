#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "base/StringTable.h"
#include "media/FileList.h"
#include "support/TestPictures.h"
#include "ui/ContextMenus.h"
#include "ui/ControlIds.h"
#include "ui/MediaPages.h"
#include "ui/PageTable.h"
#include "ui/manager_fixture.h"

namespace pspkvx::test {
namespace {

namespace fs = std::filesystem;

class MediaPagesTest : public ManagerTest {
 protected:
  std::string PcFile(const std::string& name, const std::string& content = "data") {
    const std::string path = dir_.File("pc/" + name);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  // The window with its lists loaded.
  CManagerDlg& Loaded() {
    CManagerDlg& window = Window();
    EXPECT_TRUE(PumpUntil([&] { return !window.WorkerRunning(ThreadLoadLists); }));
    return window;
  }
  void WaitForListWorker() {
    EXPECT_TRUE(PumpUntil([&] { return !window_->WorkerRunning(ThreadSaveLists); }));
  }
  void RunTransfer(CManagerDlg& window) {
    window.OnCommand(IdTransfer);
    EXPECT_TRUE(PumpUntil([&] { return !window.IsBusy(); }));
  }
  std::vector<std::string> Names(int listId) {
    std::vector<std::string> names;
    const ListModel& list = window_->List(listId);
    for (size_t row = 0; row < list.RowCount(); ++row)
      names.push_back(list.Text(row, MediaColumnName));
    return names;
  }
  bool Selected(int listId, size_t row) {
    const auto found = window_->List(listId).Row(row);
    return found && found->selected;
  }
  std::string ListFile(int kind) { return app_.m_szProgramFolder + "/" + FileListName(kind); }
};

TEST_F(MediaPagesTest, AddedFilesAreListedAndKeptAcrossARestartUntilRemoved) {
  const std::string b = PcFile("b.mp3");
  const std::string a = PcFile("A.mp3");
  view_.chosenFiles_ = {b, a};
  CManagerDlg& window = Loaded();
  window.OnCommand(IdTabMusic);
  window.OnCommand(IdAddFiles);
  EXPECT_EQ(Names(IdMusicPcList), (std::vector<std::string>{"A.mp3", "b.mp3"}));
  // Just added: selected, ready to send.
  EXPECT_TRUE(Selected(IdMusicPcList, 0));
  EXPECT_TRUE(Selected(IdMusicPcList, 1));
  EXPECT_EQ(FieldText(app_.m_config.LastAddFolder), dir_.File("pc"));
  WaitForListWorker();
  EXPECT_TRUE(fs::exists(ListFile(MediaMusic)));

  window_.reset();
  CManagerDlg& again = Loaded();
  EXPECT_EQ(Names(IdMusicPcList), (std::vector<std::string>{"A.mp3", "b.mp3"}));
  EXPECT_EQ(again.List(IdMusicPcList).Text(1, MediaColumnPath), b);
  EXPECT_FALSE(Selected(IdMusicPcList, 0));

  again.OnCommand(IdTabMusic);
  again.List(IdMusicPcList).Select(0);
  again.OnCommand(IdRemove);
  EXPECT_EQ(Names(IdMusicPcList), (std::vector<std::string>{"b.mp3"}));
  EXPECT_TRUE(fs::exists(a));  // only the list entry goes
  again.ExitSequence();
  MediaCatalogue saved;
  LoadFileList(saved, ListFile(MediaMusic));
  ASSERT_EQ(saved.Size(), 1u);
  EXPECT_EQ(saved.At(0)->path, b);
}

TEST_F(MediaPagesTest, TheTransferSendsTheSelectedFilesIntoTheChosenStickFolder) {
  fs::create_directories(root_ + "PSP/MUSIC/Rock");
  view_.chosenFiles_ = {PcFile("a.mp3", "first"), PcFile("b.mp3", "second")};
  CManagerDlg& window = Loaded();
  window.OnCommand(IdTabMusic);
  window.OnCommand(IdAddFiles);
  window.List(IdMusicPcList).Select(1, false);  // b stays on the PC
  ASSERT_EQ(Names(IdMusicPspList), (std::vector<std::string>{"Rock"}));
  window.List(IdMusicPspList).Select(0);

  RunTransfer(window);
  EXPECT_TRUE(fs::exists(root_ + "PSP/MUSIC/Rock/a.mp3"));
  EXPECT_FALSE(fs::exists(root_ + "PSP/MUSIC/Rock/b.mp3"));
  // The sent row is done; the folder it went into is chosen again after the rescan.
  EXPECT_FALSE(Selected(IdMusicPcList, 0));
  EXPECT_TRUE(Selected(IdMusicPspList, 0));
  EXPECT_TRUE(view_.boxes_.empty());
}

TEST_F(MediaPagesTest, TheVideoTransferSendsMp4FilesAsTheyAre) {
  view_.chosenFiles_ = {PcFile("clip.mp4", "not really a movie"), PcFile("film.avi")};
  CManagerDlg& window = Loaded();
  window.OnCommand(IdAddFiles);
  ASSERT_EQ(Names(IdVideoPcList), (std::vector<std::string>{"clip.mp4", "film.avi"}));
  RunTransfer(window);
  EXPECT_TRUE(fs::exists(root_ + "mp_root/100mnv01/M4V00001.MP4"));
  EXPECT_FALSE(Selected(IdVideoPcList, 0));
  EXPECT_TRUE(Selected(IdVideoPcList, 1));
}

TEST_F(MediaPagesTest, ThePhotoTransferConvertsByTheCopyMode) {
  fs::create_directories(dir_.File("pc"));
  test::WritePicture(dir_.File("pc/wide.png"), FIF_PNG, 960, 272);
  test::WritePicture(dir_.File("pc/shot.jpg"), FIF_JPEG, 64, 48);
  view_.chosenFiles_ = {dir_.File("pc/wide.png"), dir_.File("pc/shot.jpg")};
  CManagerDlg& window = Loaded();
  window.OnCommand(IdTabPhoto);
  window.OnCommand(IdAddFiles);
  app_.m_config.PhotoCopyMode = 0;  // the JPEG as it is, the PNG converted
  RunTransfer(window);
  EXPECT_EQ(test::ReadFileBytes(root_ + "PSP/Photo/shot.jpg"),
            test::ReadFileBytes(dir_.File("pc/shot.jpg")));
  EXPECT_EQ(test::ReadPictureInfo(root_ + "PSP/Photo/wide.jpg").width, 960u);
  EXPECT_FALSE(Selected(IdPhotoPcList, 0));
  EXPECT_FALSE(Selected(IdPhotoPcList, 1));

  window.OnCommand(IdQuality2);  // photo mode 1: fit inside the screen
  window.List(IdPhotoPcList).Select(1);
  view_.answers_ = {ResultYes};  // overwrite
  RunTransfer(window);
  const auto fitted = test::ReadPictureInfo(root_ + "PSP/Photo/wide.jpg");
  EXPECT_EQ(fitted.width, 480u);
  EXPECT_EQ(fitted.height, 136u);
}

TEST_F(MediaPagesTest, PhotoRowsGetTheirPicturesOnThePhotoPage) {
  fs::create_directories(dir_.File("pc/album"));
  test::WritePicture(dir_.File("pc/album/b.png"), FIF_PNG, 640, 480);
  test::WriteFileBytes(dir_.File("pc/album/a.png"), "damaged");
  view_.chosenFiles_ = {dir_.File("pc/album")};
  CManagerDlg& window = Loaded();
  window.OnCommand(IdTabPhoto);
  window.OnCommand(IdAddFiles);
  ASSERT_EQ(Names(IdPhotoPcList), (std::vector<std::string>{"a.png", "album", "b.png"}));
  EXPECT_EQ(view_.pictureSizes_[IdPhotoPcList], std::make_pair(96, 72));
  const auto picture = [&](size_t row) {
    return window.List(IdPhotoPcList).Row(row)->pictureBytes;
  };
  // The damaged file and the folder are passed over; the picture is a PNG.
  ASSERT_TRUE(PumpUntil([&] { return picture(2) != nullptr; }));
  EXPECT_EQ(picture(2)->substr(1, 3), "PNG");
  EXPECT_EQ(picture(0), nullptr);
  EXPECT_EQ(picture(1), nullptr);
  const size_t large = picture(2)->size();

  // Plain rows take small pictures.
  window.OnCommand(IdRightListStyle);
  EXPECT_EQ(view_.pictureSizes_[IdPhotoPcList], std::make_pair(45, 34));
  ASSERT_TRUE(PumpUntil([&] { return picture(2) && picture(2)->size() < large; }));
}

TEST_F(MediaPagesTest, FilesDroppedOnThePcListAreAddedTogetherAndSaved) {
  const std::string song = PcFile("drop/song.mp3");
  const std::string other = PcFile("drop/other.mp3");
  const std::string note = PcFile("drop/notes.txt");
  CManagerDlg& window = Loaded();
  window.OnCommand(IdTabMusic);
  window.OnFilesDropped(IdMusicPspList, song, false);  // only the PC list takes drops
  EXPECT_TRUE(Names(IdMusicPcList).empty());
  window.OnFilesDropped(IdMusicPcList, song, true);
  window.OnFilesDropped(IdMusicPcList, note, true);  // not music: left out
  window.OnFilesDropped(IdMusicPcList, other, false);
  EXPECT_EQ(Names(IdMusicPcList), (std::vector<std::string>{"other.mp3", "song.mp3"}));
  // All of the drop comes selected, ready to send.
  EXPECT_TRUE(Selected(IdMusicPcList, 0));
  EXPECT_TRUE(Selected(IdMusicPcList, 1));
  WaitForListWorker();
  MediaCatalogue saved;
  LoadFileList(saved, ListFile(MediaMusic));
  EXPECT_EQ(saved.Size(), 2u);
}

TEST_F(MediaPagesTest, GroupFoldersAreMadeOpenedFilledAndLeftFromTheMusicPage) {
  fs::create_directories(root_ + "PSP/MUSIC");
  std::ofstream(root_ + "PSP/MUSIC/old.mp3") << "old";
  view_.chosenFiles_ = {PcFile("a.mp3")};
  CManagerDlg& window = Loaded();
  window.OnCommand(IdTabMusic);
  view_.nameAnswer_ = "Road";
  window.OnCommand(IdNewGroupFolder);
  ASSERT_EQ(Names(IdMusicPspList), (std::vector<std::string>{"Road", "old.mp3"}));

  window.OnListDoubleClicked(IdMusicPspList, 1);  // a file: nothing opens
  EXPECT_EQ(window.Media().OpenGroup(MediaMusic), "");
  window.OnListDoubleClicked(IdMusicPspList, 0);
  EXPECT_EQ(window.Media().OpenGroup(MediaMusic), "Road");
  EXPECT_TRUE(Names(IdMusicPspList).empty());
  window.OnContextMenu(IdMusicPspList, -1);
  EXPECT_EQ(view_.menus_, std::vector<int>{MenuEmptyInGroup});

  // What is sent goes into the open group.
  window.OnCommand(IdAddFiles);
  RunTransfer(window);
  EXPECT_TRUE(fs::exists(root_ + "PSP/MUSIC/Road/a.mp3"));
  EXPECT_EQ(Names(IdMusicPspList), std::vector<std::string>{"a.mp3"});

  window.OnCommand(IdUpALevel);
  ASSERT_EQ(Names(IdMusicPspList), (std::vector<std::string>{"Road", "old.mp3"}));
  // A right click on a row that is not selected deletes that row, not the selection.
  window.List(IdMusicPspList).Select(0);
  view_.menuAnswer_ = MenuDelete;
  window.OnContextMenu(IdMusicPspList, 1);
  EXPECT_FALSE(fs::exists(root_ + "PSP/MUSIC/old.mp3"));
  EXPECT_TRUE(fs::exists(root_ + "PSP/MUSIC/Road/a.mp3"));
  EXPECT_EQ(Names(IdMusicPspList), std::vector<std::string>{"Road"});
}

TEST_F(MediaPagesTest, VideosAreConvertedForThePspAndSentWithTheirThumbnails) {
  // The program folder's encoder is PSPKVX's front-end.
  fs::create_symlink(std::string(PSPKVX_PROGRAM_DIR) + "/ffmpeg",
                     app_.m_szProgramFolder + "/ffmpeg");
  const std::string clip = dir_.File("pc/Beach day.avi");
  fs::create_directories(dir_.File("pc"));
  const int made = std::system(("ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 "
                                "-f lavfi -i sine -t 8 -c:v mpeg4 -c:a mp3 '" +
                                clip + "'")
                                   .c_str());
  ASSERT_EQ(made, 0);
  const std::string broken = PcFile("broken.avi", "not a video");
  view_.chosenFiles_ = {clip, broken};
  CManagerDlg& window = Loaded();
  window.OnCommand(IdAddFiles);
  RunTransfer(window);
  // The broken one is told about, and the batch goes on.
  ASSERT_EQ(view_.boxes_.size(), 1u);
  EXPECT_EQ(view_.boxes_[0].text, StringOf(IDS_VIDEO_UNSUPPORTED) + "\r\nbroken.avi");
  const std::string video = root_ + "mp_root/100mnv01/M4V00001.MP4";
  EXPECT_GT(fs::file_size(video), 0u);
  const std::string thumbnail = root_ + "mp_root/100mnv01/M4V00001.thm";
  ASSERT_TRUE(fs::exists(thumbnail));
  std::ifstream thm(thumbnail, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(thm)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.substr(bytes.size() - 18), "Name:Beach day.avi");
  EXPECT_FALSE(fs::exists(app_.m_szProgramFolder + "/PSP.MP4"));
  // The sent video is done; the broken one stays selected.
  EXPECT_EQ(Names(IdVideoPcList), (std::vector<std::string>{"Beach day.avi", "broken.avi"}));
  EXPECT_FALSE(Selected(IdVideoPcList, 0));
  EXPECT_TRUE(Selected(IdVideoPcList, 1));
  // The stick's list holds the video (shown under its PC name once the background worker has
  // read the thumbnail's trailer).
  ASSERT_EQ(window.List(IdVideoPspList).RowCount(), 1u);
  EXPECT_EQ(window.List(IdVideoPspList).Text(0, MediaColumnPath), video);
}

TEST_F(MediaPagesTest, ConvertMakesMp4FilesBesideTheVideosAndAsksAboutOnesThatAreThere) {
  fs::create_symlink(std::string(PSPKVX_PROGRAM_DIR) + "/ffmpeg",
                     app_.m_szProgramFolder + "/ffmpeg");
  const std::string clip = dir_.File("pc/walk.avi");
  fs::create_directories(dir_.File("pc"));
  ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi "
                         "-i sine -t 8 -c:v mpeg4 -c:a mp3 '" +
                         clip + "'")
                            .c_str()),
            0);
  const std::string other = PcFile("other.avi");
  const std::string there = PcFile("other.mp4", "made before");
  view_.chosenFiles_ = {clip, other};
  CManagerDlg& window = Loaded();
  EXPECT_FALSE(view_.Enabled(IdConvert));  // nothing selected
  window.OnCommand(IdAddFiles);
  EXPECT_TRUE(view_.Enabled(IdConvert));
  view_.answers_ = {ResultAddToList};  // other.mp4 is there and not listed: four buttons
  window.OnCommand(IdConvert);
  ASSERT_TRUE(PumpUntil([&] { return !window.IsBusy(); }, 60000));
  ASSERT_EQ(view_.boxes_.size(), 1u);
  EXPECT_EQ(view_.boxes_[0].type, MbExistingDestinationAdd);
  EXPECT_EQ(test::ReadFileBytes(there), "made before");
  EXPECT_GT(fs::file_size(dir_.File("pc/walk.mp4")), 0u);
  EXPECT_TRUE(fs::exists(dir_.File("pc/walk.thm")));
  EXPECT_EQ(Names(IdVideoPcList),
            (std::vector<std::string>{"other.avi", "other.mp4", "walk.avi", "walk.mp4"}));
  EXPECT_TRUE(Selected(IdVideoPcList, 1));
  EXPECT_TRUE(Selected(IdVideoPcList, 3));
  // In the list file already, whatever becomes of the program.
  WaitForListWorker();
  MediaCatalogue saved;
  LoadFileList(saved, ListFile(MediaVideo));
  EXPECT_EQ(saved.Size(), 4u);

  // Only MP4 files selected: nothing to convert.
  window.List(IdVideoPcList).ClearSelection();
  window.List(IdVideoPcList).Select(1);
  window.OnListPressed(IdVideoPcList);
  EXPECT_FALSE(view_.Enabled(IdConvert));
  // Listed now: three buttons; Skip leaves it.
  window.List(IdVideoPcList).ClearSelection();
  window.List(IdVideoPcList).Select(0);
  window.OnListPressed(IdVideoPcList);
  EXPECT_TRUE(view_.Enabled(IdConvert));
  view_.answers_ = {ResultCancel};
  window.OnCommand(IdConvert);
  ASSERT_TRUE(PumpUntil([&] { return !window.IsBusy(); }));
  ASSERT_EQ(view_.boxes_.size(), 2u);
  EXPECT_EQ(view_.boxes_[1].type, MbExistingDestination);
  EXPECT_EQ(test::ReadFileBytes(there), "made before");
}

TEST_F(MediaPagesTest, WithoutAnEncoderEachVideoSaysSoAndTheBatchGoesOn) {
  view_.chosenFiles_ = {PcFile("a.avi"), PcFile("b.mov")};
  CManagerDlg& window = Loaded();
  window.OnCommand(IdAddFiles);
  RunTransfer(window);
  ASSERT_EQ(view_.boxes_.size(), 2u);
  EXPECT_EQ(view_.boxes_[1].text, StringOf(IDS_ENCODER_NOT_STARTED));
  EXPECT_FALSE(fs::exists(root_ + "mp_root/100mnv01/M4V00001.MP4"));
}

TEST_F(MediaPagesTest, VideoRowsShowTheirThumbnailsAndStickRowsTheNameTheirThumbnailHolds) {
  fs::create_directories(dir_.File("pc"));
  test::WritePicture(dir_.File("pc/a.THM"), FIF_JPEG, 160, 120);
  const std::string avi = PcFile("a.avi");
  const std::string mp4 = PcFile("b.mp4");
  fs::create_directories(root_ + "mp_root/100mnv01");
  std::ofstream(root_ + "mp_root/100mnv01/M4V00001.MP4") << "movie";
  const std::string thumbnail = root_ + "mp_root/100mnv01/M4V00001.thm";
  test::WritePicture(thumbnail, FIF_JPEG, 160, 120);
  std::ofstream(thumbnail, std::ios::app | std::ios::binary) << "Name:Beach day.avi";
  view_.chosenFiles_ = {avi, mp4};
  CManagerDlg& window = Loaded();
  window.OnCommand(IdAddFiles);
  window.OnCommand(IdTabMusic);
  window.OnCommand(IdTabVideo);
  const auto picture = [&](int list, size_t row) {
    const auto found = window.List(list).Row(row);
    return found ? found->pictureBytes : nullptr;
  };
  ASSERT_TRUE(PumpUntil([&] { return picture(IdVideoPcList, 0) && picture(IdVideoPspList, 0); }));
  EXPECT_EQ(Names(IdVideoPspList), std::vector<std::string>{"Beach day.avi"});
  // An MP4 on the PC gets no thumbnail made.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(picture(IdVideoPcList, 1), nullptr);
  EXPECT_FALSE(fs::exists(dir_.File("pc/b.thm")));
  // The row shown under its PC name is still the stick's file.
  window.List(IdVideoPspList).Select(0);
  window.OnCommand(IdDeleteFromPsp);
  EXPECT_TRUE(fs::is_empty(root_ + "mp_root/100mnv01"));
}

TEST_F(MediaPagesTest, DeletingAVideoFromTheStickTakesItsThumbnail) {
  fs::create_directories(root_ + "MP_ROOT/100MNV01");
  std::ofstream(root_ + "MP_ROOT/100MNV01/M4V00001.MP4") << "movie";
  std::ofstream(root_ + "MP_ROOT/100MNV01/M4V00001.THM") << "picture";
  CManagerDlg& window = Loaded();
  window.OnCommand(IdTabMusic);
  window.OnCommand(IdTabVideo);
  ASSERT_EQ(Names(IdVideoPspList), std::vector<std::string>{"M4V00001.MP4"});
  window.List(IdVideoPspList).Select(0);
  window.OnCommand(IdDeleteFromPsp);
  EXPECT_TRUE(fs::is_empty(root_ + "MP_ROOT/100MNV01"));
  EXPECT_TRUE(Names(IdVideoPspList).empty());
}

}  // namespace
}  // namespace pspkvx::test
