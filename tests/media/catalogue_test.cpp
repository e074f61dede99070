#include <gtest/gtest.h>
#include <utime.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "base/DateText.h"
#include "media/CatalogueAdd.h"
#include "media/FileList.h"
#include "media/MediaCatalogue.h"
#include "media/MediaTypes.h"
#include "psp/StickLayout.h"
#include "support/ScopedEnv.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const MediaCatalogue& catalogue) {
  std::vector<std::string> names;
  for (const MediaEntry& entry : catalogue.Entries())
    names.push_back(entry.name);
  return names;
}

TEST(MediaTexts, SizesAndDatesAsTheListsShowThem) {
  EXPECT_EQ(FormatSize(10239), "10 Kb");
  EXPECT_EQ(FormatSize(10240), "0.01Mb");
  test::ScopedTimeZone zone("UTC0");
  EXPECT_EQ(DateTimeText(1105779907), "01/15/2005 09:05:07");
}

TEST(MediaTypes, EachKindTakesItsFiles) {
  const struct {
    int kind;
    const char* path;
    bool taken;
  } kCases[] = {
      {MediaVideo, "/v/clip.AVI", true},  {MediaVideo, "/v/clip.mp4", true},
      {MediaVideo, "/v/clip.mp3", false}, {MediaMusic, "/m/song.MP3", true},
      {MediaMusic, "/m/song.ac3", true},  {MediaMusic, "/m/song.ogg", false},
      {MediaPhoto, "/p/a.jpeg", true},    {MediaPhoto, "/p/a.TARGA", true},
      {MediaPhoto, "/p/a.svg", false},    {MediaPhoto, "/p.d/noextension", false},
      {3, "/s/save.bin", false},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(AcceptsFileType(c.kind, c.path), c.taken) << c.path;
}

TEST(MediaTypes, AVideosThumbnailReplacesItsRealExtensionAndIsNeverTheVideo) {
  const struct {
    std::string video;
    std::string thumbnail;
  } kCases[] = {
      {"/v/clip.avi", "/v/clip.thm"},
      {"/v/clip.MPEG", "/v/clip.thm"},
      {"/v/a.b/clip", "/v/a.b/clip.thm"},
      {"/v/clip.", "/v/clip.thm"},
      {"/v/clip.thm", ""},
      {"/v/clip.THM", ""},
      {"/p/PSP.MP4", "/p/PSP.thm"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(VideoThumbnailPath(c.video), c.thumbnail) << c.video;
}

TEST(MediaCatalogue, NamesAreCutKeepingTheExtensionAndPathsNever) {
  const std::string longName = std::string(300, 'n') + ".mp3";
  const std::string path = "/music/" + longName;
  const std::string name = DisplayName(path, false);
  EXPECT_EQ(name.size(), 258u);
  EXPECT_EQ(name.substr(254), ".mp3");
  EXPECT_EQ(DisplayName("/music/" + std::string(300, 'f'), true).size(), 260u);
  EXPECT_EQ(DisplayName("C:\\Music\\song.mp3", false), "song.mp3");
  EXPECT_EQ(DisplayName("/music/album/", true), "album");
}

TEST(MediaCatalogue, SortIsByNameIgnoringCaseAndKeepsTheOrderOfEqualNames) {
  MediaCatalogue catalogue;
  for (const auto& [name, path] : std::vector<std::pair<std::string, std::string>>{
           {"b.mp3", "/1"},
           {"\xE9t\xE9.mp3", "/6"},  // a byte above 127 after every ASCII letter
           {"A.mp3", "/2"},
           {"ab.mp3", "/7"},
           {"a.mp3", "/3"},
           {"C.mp3", "/4"},
           {"a.MP3", "/5"}})
    catalogue.Append({0, 0, 0, name, path, EntryListed});
  catalogue.Sort();
  std::vector<std::string> paths;
  for (const MediaEntry& entry : catalogue.Entries())
    paths.push_back(entry.path);
  EXPECT_EQ(paths, (std::vector<std::string>{"/2", "/3", "/5", "/7", "/1", "/4", "/6"}));
}

class CatalogueFiles : public ::testing::Test {
 protected:
  std::string File(const std::string& relative, const std::string& bytes = "x") {
    const std::string path = dir_.File(relative);
    fs::create_directories(fs::path(path).parent_path());
    test::WriteFileBytes(path, bytes);
    return path;
  }
  test::TempDir dir_;
  test::ScriptedHost host_;
  MediaCatalogue catalogue_;
};

TEST_F(CatalogueFiles, AddingTakesTheKindsTypesAWholeFolderAndRefreshesAKnownFile) {
  const std::string song = File("music/one.mp3", "12345");
  File("music/album/two.mp3");
  File("music/album/cover.jpg");  // inside a folder, whatever its type
  File("music/notes.txt");
  EXPECT_EQ(AddToCatalogue(catalogue_, MediaMusic, dir_.File("music/notes.txt"), &host_),
            AddOutcome::NotThisType);
  EXPECT_EQ(AddToCatalogue(catalogue_, MediaMusic, song, &host_), AddOutcome::Added);
  EXPECT_EQ(AddToCatalogue(catalogue_, MediaMusic, dir_.File("music/album"), &host_),
            AddOutcome::Added);
  std::vector<std::string> names = Names(catalogue_);
  std::sort(names.begin() + 2, names.end());  // the folder's items come in listing order
  EXPECT_EQ(names, (std::vector<std::string>{"one.mp3", "album", "cover.jpg", "two.mp3"}));
  EXPECT_TRUE(catalogue_.At(1)->IsFolder());

  // The same file again: one entry, with what the file says now.
  catalogue_.SettleNewEntries();
  test::WriteFileBytes(song, "1234567");
  EXPECT_EQ(AddToCatalogue(catalogue_, MediaMusic, song, &host_), AddOutcome::Refreshed);
  EXPECT_EQ(catalogue_.Size(), 4u);
  EXPECT_EQ(catalogue_.At(0)->size, 7);
  EXPECT_EQ(catalogue_.At(0)->state, EntryNew);
  EXPECT_EQ(catalogue_.At(1)->state, EntryListed);
  EXPECT_TRUE(host_.requests().empty());

  EXPECT_EQ(AddEntry(catalogue_, dir_.File("missing.mp3"), &host_), AddOutcome::Failed);
  EXPECT_EQ(host_.texts(), std::vector<std::string>{"Error reading file to check date and time"});
}

TEST_F(CatalogueFiles, ALinkToAFolderIsListedNotEntered) {
  File("music/album/two.mp3");
  fs::create_directory_symlink(dir_.File("music"), dir_.File("music/album/loop"));
  EXPECT_EQ(AddEntry(catalogue_, dir_.File("music"), &host_), AddOutcome::Added);
  EXPECT_EQ(catalogue_.Size(), 4u);  // music, album, two.mp3, loop
}

TEST_F(CatalogueFiles, ListFilesKeepWholePathsAndDropFilesThatAreGone) {
  const std::string deep = File(std::string(120, 'd') + "/" + std::string(120, 'e') + "/" +
                                std::string(100, 'f') + ".mp3");  // longer than 260
  const std::string gone = File("gone.mp3");
  const std::string kept = File("kept.mp3", "abc");
  for (const std::string& path : {deep, gone, kept})
    AddEntry(catalogue_, path, &host_);
  const std::string list = dir_.File("filelist music.fll");
  ASSERT_TRUE(SaveFileList(catalogue_, list));
  fs::remove(gone);
  test::WriteFileBytes(kept, "abcdef");

  MediaCatalogue loaded;
  EXPECT_EQ(LoadFileList(loaded, list), FileListLoaded);
  ASSERT_EQ(loaded.Size(), 2u);
  EXPECT_EQ(loaded.At(0)->path, deep);
  EXPECT_EQ(loaded.At(1)->path, kept);
  EXPECT_EQ(loaded.At(1)->size, 6);  // the file as it is now
}

TEST_F(CatalogueFiles, ListFilesOfAnotherKindOrVersionAreRefusedAndACutRecordEndsTheList) {
  const std::string one = File("one.mp3");
  const std::string two = File("two.mp3");
  AddEntry(catalogue_, one, &host_);
  AddEntry(catalogue_, two, &host_);
  const std::string list = dir_.File("list.fll");
  ASSERT_TRUE(SaveFileList(catalogue_, list));
  const std::string bytes = test::ReadFileBytes(list);

  std::string newer = bytes;
  newer[10] = 2;
  test::WriteFileBytes(list, newer);
  MediaCatalogue refused;
  EXPECT_EQ(LoadFileList(refused, list), FileListNewerVersion);
  test::WriteFileBytes(list, "gFILELISTx" + bytes.substr(10));
  EXPECT_EQ(LoadFileList(refused, list), FileListWrongMagic);
  EXPECT_EQ(LoadFileList(refused, dir_.File("missing.fll")), FileListCannotOpen);
  EXPECT_EQ(refused.Size(), 0u);

  test::WriteFileBytes(list, bytes.substr(0, bytes.size() - 5));  // the last record cut short
  MediaCatalogue cut;
  EXPECT_EQ(LoadFileList(cut, list), FileListLoaded);
  EXPECT_EQ(Names(cut), std::vector<std::string>{"one.mp3"});
}

TEST_F(CatalogueFiles, TheRatedListIsAnArrayOfWords) {
  const std::string rated = dir_.File(kRatedListName);
  EXPECT_TRUE(LoadRatedList(rated).empty());
  ASSERT_TRUE(SaveRatedList({7, 0x01020304}, rated));
  EXPECT_EQ(LoadRatedList(rated), (std::vector<uint32_t>{7, 0x01020304}));
  EXPECT_TRUE(SaveRatedList({}, rated));  // nothing written: the file stays
  EXPECT_EQ(LoadRatedList(rated).size(), 2u);
  test::WriteFileBytes(rated, "12345");  // not a multiple of four
  EXPECT_TRUE(LoadRatedList(rated).empty());
}

}  // namespace
}  // namespace pspkvx
