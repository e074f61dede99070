#include "media/GroupFolders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/StringTable.h"
#include "support/MediaStickFixture.h"

namespace pspkvx {
namespace {

namespace fs = std::filesystem;
using test::MakeFiles;
using test::Tree;
using test::TreeOf;

class GroupFolderTest : public test::MediaStickTest {
 protected:
  // A row of the music page's list at the top of its folder (or in group).
  StickRow MusicRow(const std::string& name, bool isFolder, const std::string& group = "") const {
    return {name, Music() + (group.empty() ? "" : "/" + group) + "/" + name, isFolder};
  }
};

TEST_F(GroupFolderTest, NewGroupNamesAreCleanedAndRefusedAsTheStickNeeds) {
  const struct {
    std::string typed;
    std::string created;  // the folder made; empty: none
    bool message;         // a refusal is shown
  } kCases[] = {
      {"Road & Trip 2", "Road  Trip 2", false},  // the ampersand goes, both spaces stay
      {"Mix <#1> 100%", "Mix 1 100", false},
      {"Caf\xC3\xA9 del Mar", "Caf del Mar", false},
      {".hidden", ".hidden", false},
      {"&<>#%", "", false},  // nothing left: nothing made, nothing said
      {"\xC3\xA9", "", false},
      {"", "", false},  // cancelled
      {"Rock/Pop", "", true},
      {"Rock\\Pop", "", true},
      {"C:Rock", "", true},
      {".", "", true},
      {"..", "", true},
      {". .", "", true},
      {"What?", "", true},
      {"Best*", "", true},
      {"Say \"hi\"", "", true},
      {"A|B", "", true},
      {"Tab\there", "", true},
      {"Del\x7F", "", true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.typed);
    fs::remove_all(root_ + "PSP");
    test::ScriptedHost host;
    test::RecordingMediaWindow window;
    window.AnswerNames({c.typed});
    const GroupResult result = NewGroupFolder(Media(host, window), StickPage::Music, "");
    EXPECT_EQ(result.done, !c.created.empty());
    EXPECT_EQ(result.rescan, !c.created.empty());
    EXPECT_EQ(result.name, c.created);
    EXPECT_EQ(result.openGroup, "");
    EXPECT_EQ(
        window.questions(),
        (std::vector<test::RecordingMediaWindow::Question>{{StringOf(IDS_ENTER_GROUP_NAME), ""}}));
    const Tree expected = c.created.empty() ? Tree{} : Tree{{c.created, "<folder>"}};
    EXPECT_EQ(TreeOf(Music()), expected);
    ASSERT_EQ(host.texts().size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(host.texts()[0].rfind(StringOf(IDS_NAME_NOT_ALLOWED) + "\r\n\r\n\"", 0), 0u)
          << host.texts()[0];
    }
    // The same rule as the check the window's dialog can apply.
    const CheckedGroupName checked = CheckGroupName(c.typed);
    EXPECT_EQ(checked.problem.empty(), !c.message);
    if (!c.message) {
      EXPECT_EQ(checked.name, c.created);
    }
  }
}

TEST_F(GroupFolderTest, NewGroupFolderGoesIntoThePagesFolderAsTheStickHasIt) {
  // The photo folder exists in another case: the group goes into it, not into a second one.
  MakeFiles(root_, {{"psp/PHOTO", "<folder>"}});
  window_.AnswerNames({"Holidays"});
  EXPECT_TRUE(NewGroupFolder(Media(), StickPage::Photos, "").done);
  EXPECT_EQ(
      TreeOf(root_),
      (Tree{{"psp", "<folder>"}, {"psp/PHOTO", "<folder>"}, {"psp/PHOTO/Holidays", "<folder>"}}));
}

TEST_F(GroupFolderTest, ANameTheStickAlreadyHasInAnyCaseCreatesNothing) {
  MakeFiles(Music(), {{"ROAD", "<folder>"}, {"song.MP3", "x"}});
  const Tree before = TreeOf(Music());
  const struct {
    std::string typed;
    std::string message;
  } kCases[] = {
      {"road", StringOf(IDS_FOLDER_NAME_EXISTS) + "\r\n\r\nroad"},
      {"SONG.mp3", StringOf(IDS_FILE_NAME_EXISTS) + "\r\n\r\nSONG.mp3"},
  };
  for (const auto& c : kCases) {
    test::ScriptedHost host;
    window_.AnswerNames({c.typed});
    EXPECT_FALSE(NewGroupFolder(Media(host, window_), StickPage::Music, "").done) << c.typed;
    EXPECT_EQ(host.texts(), std::vector<std::string>{c.message});
    EXPECT_EQ(TreeOf(Music()), before) << c.typed;
  }
}

TEST_F(GroupFolderTest, GroupsAreOneLevelDeep) {
  MakeFiles(Music(), {{"Road", "<folder>"}, {"Road/a.mp3", "a"}, {"b.mp3", "b"}});
  const Tree before = TreeOf(Music());

  // Only a folder row at the top opens.
  EXPECT_FALSE(OpenGroup(StickPage::Music, "", MusicRow("b.mp3", false)).rescan);
  const GroupResult opened = OpenGroup(StickPage::Music, "", MusicRow("Road", true));
  EXPECT_TRUE(opened.rescan);
  EXPECT_EQ(opened.openGroup, "Road");
  EXPECT_EQ(ShownFolder(Media(), StickPage::Music, "Road"), Music() + "/Road");
  const GroupResult again = OpenGroup(StickPage::Music, "Road", MusicRow("Road", true));
  EXPECT_FALSE(again.rescan);
  EXPECT_EQ(again.openGroup, "Road");

  // Inside a group no folder is made, and no name is asked for.
  const GroupResult made = NewGroupFolder(Media(), StickPage::Music, "Road");
  EXPECT_FALSE(made.done);
  EXPECT_FALSE(made.rescan);
  EXPECT_EQ(made.openGroup, "Road");
  EXPECT_TRUE(window_.questions().empty());
  EXPECT_EQ(TreeOf(Music()), before);

  const GroupResult left = LeaveGroup(StickPage::Music, "Road");
  EXPECT_TRUE(left.rescan);
  EXPECT_EQ(left.openGroup, "");
  EXPECT_FALSE(LeaveGroup(StickPage::Music, "").rescan);
}

TEST_F(GroupFolderTest, RenameOnStickRenamesOrSaysWhyNot) {
  const Tree start = {{"a.mp3", "a"},      {"c.mp3", "c"},        {"Trip", "<folder>"},
                      {"Trip/t.mp3", "t"}, {"Other", "<folder>"}, {"Empty", "<folder>"}};
  const std::string file43 = StringOf(IDS_FILE_NAME_EXISTS) + "\r\n\r\n";
  const std::string folder44 = StringOf(IDS_FOLDER_NAME_EXISTS) + "\r\n\r\n";
  const struct {
    std::string what;
    StickRow row;
    std::string typed;
    Tree renamed;  // the entries that replace the row's; empty: nothing changes
    std::string message;
  } kCases[] = {
      {"a file", MusicRow("a.mp3", false), "b.mp3", {{"b.mp3", "a"}}, ""},
      {"a file, in its case", MusicRow("a.mp3", false), "A.MP3", {{"A.MP3", "a"}}, ""},
      {"a file onto a file", MusicRow("a.mp3", false), "c.mp3", {}, file43 + "c.mp3"},
      {"a file onto one in another case", MusicRow("a.mp3", false), "C.MP3", {}, file43 + "C.MP3"},
      {"a file onto a folder", MusicRow("a.mp3", false), "other", {}, file43 + "other"},
      {"a file out of its folder", MusicRow("a.mp3", false), "../a.mp3", {}, "refused"},
      {"a file cancelled", MusicRow("a.mp3", false), "", {}, ""},
      {"a folder with its files",
       MusicRow("Trip", true),
       "Road & Trip",
       {{"Road  Trip", "<folder>"}, {"Road  Trip/t.mp3", "t"}},
       ""},
      {"an empty folder", MusicRow("Empty", true), "Full", {{"Full", "<folder>"}}, ""},
      {"a folder, in its case",
       MusicRow("Trip", true),
       "TRIP",
       {{"TRIP", "<folder>"}, {"TRIP/t.mp3", "t"}},
       ""},
      {"a folder onto a file", MusicRow("Trip", true), "C.mp3", {}, file43 + "C.mp3"},
      {"a folder onto a folder", MusicRow("Trip", true), "OTHER", {}, folder44 + "OTHER"},
      {"a folder to a parent", MusicRow("Trip", true), "..", {}, "refused"},
      {"a folder to nothing once cleaned", MusicRow("Trip", true), "&&", {}, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Music());
    MakeFiles(Music(), start);
    test::ScriptedHost host;
    test::RecordingMediaWindow window;
    window.AnswerNames({c.typed});
    const GroupResult result = RenameOnStick(Media(host, window), StickPage::Music, "", c.row);
    EXPECT_EQ(
        window.questions(),
        (std::vector<test::RecordingMediaWindow::Question>{
            {StringOf(c.row.isFolder ? IDS_EDIT_GROUP_NAME : IDS_EDIT_FILE_NAME), c.row.name}}));
    EXPECT_EQ(result.done, !c.renamed.empty());
    EXPECT_EQ(result.rescan, !c.renamed.empty());
    Tree expected = start;
    if (!c.renamed.empty()) {
      std::erase_if(expected, [&](const auto& entry) {
        return entry.first == c.row.name || entry.first.rfind(c.row.name + "/", 0) == 0;
      });
      expected.insert(c.renamed.begin(), c.renamed.end());
    }
    EXPECT_EQ(TreeOf(Music()), expected);
    if (c.message == "refused") {
      ASSERT_EQ(host.texts().size(), 1u);
      EXPECT_EQ(host.texts()[0].rfind(StringOf(IDS_NAME_NOT_ALLOWED), 0), 0u);
    } else {
      EXPECT_EQ(host.texts(), c.message.empty() ? std::vector<std::string>{}
                                                : std::vector<std::string>{c.message});
    }
  }
}

TEST_F(GroupFolderTest, RenameInsideAnOpenGroupStaysInIt) {
  MakeFiles(Music(), {{"Road/a.mp3", "a"}, {"a.mp3", "top"}});
  window_.AnswerNames({"b.mp3"});
  const GroupResult result =
      RenameOnStick(Media(), StickPage::Music, "Road", MusicRow("a.mp3", false, "Road"));
  EXPECT_TRUE(result.done);
  EXPECT_EQ(result.openGroup, "Road");
  EXPECT_EQ(TreeOf(Music()), (Tree{{"Road", "<folder>"}, {"Road/b.mp3", "a"}, {"a.mp3", "top"}}));
}

TEST_F(GroupFolderTest, MoveFolderMovesATreeAndNeverIntoItself) {
  const Tree tree = {{"a.mp3", "a"},
                     {"Sub", "<folder>"},
                     {"Sub/b.mp3", "b"},
                     {"Sub/Deep", "<folder>"},
                     {"Sub/Deep/c.mp3", "c"}};
  const struct {
    std::string what;
    std::string to;  // relative to the music folder
    int result;
    bool moved;
  } kCases[] = {
      {"a tree", "Moved", 0, true},
      {"into itself", "Trip/Sub/Trip", -4, false},
      {"into itself, in another case", "TRIP/Inner", -4, false},
      {"onto a folder", "other", -2, false},
      {"onto a file", "FILE.MP3", -3, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Music());
    MakeFiles(Music() + "/Trip", tree);
    MakeFiles(Music(), {{"Other", "<folder>"}, {"file.mp3", "f"}});
    EXPECT_EQ(MoveFolder(platform_, Music() + "/Trip", Music() + "/" + c.to), c.result);
    EXPECT_EQ(TreeOf(Music() + "/" + (c.moved ? c.to : "Trip")), tree);
    EXPECT_EQ(fs::exists(Music() + "/Trip"), !c.moved);
  }

  MakeFiles(Music(), {{"Empty", "<folder>"}});
  EXPECT_EQ(MoveFolder(platform_, Music() + "/Empty", Music() + "/Still empty"), 1);
  EXPECT_TRUE(fs::is_directory(Music() + "/Still empty"));
  EXPECT_FALSE(fs::exists(Music() + "/Empty"));

  // A move the volume refuses changes nothing and says so.
  platform_.Change([](test::FakePlatform& f) { f.refuseMove = [](auto&, auto&) { return true; }; });
  EXPECT_EQ(MoveFolder(platform_, Music() + "/Trip", Music() + "/Moved"), -1);
  EXPECT_EQ(TreeOf(Music() + "/Trip"), tree);
  EXPECT_EQ(MoveFolder(platform_, Music() + "/file.mp3", Music() + "/Moved"), -1);
}

TEST_F(GroupFolderTest, AFailedFolderRenameIsReported) {
  MakeFiles(Music(), {{"Trip/t.mp3", "t"}, {"a.mp3", "a"}});
  platform_.Change([](test::FakePlatform& f) { f.refuseMove = [](auto&, auto&) { return true; }; });
  window_.AnswerNames({"Road", "b.mp3"});
  EXPECT_FALSE(RenameOnStick(Media(), StickPage::Music, "", MusicRow("Trip", true)).done);
  EXPECT_FALSE(RenameOnStick(Media(), StickPage::Music, "", MusicRow("a.mp3", false)).done);
  EXPECT_EQ(host_.texts(),
            (std::vector<std::string>{StringOf(IDS_COULD_NOT_RENAME_FOLDER) + Music() + "/Trip",
                                      StringOf(IDS_COULD_NOT_RENAME_FILE) + Music() + "/a.mp3"}));
}

TEST_F(GroupFolderTest, DeleteFolderTreeStopsAtTheFirstItemItCannotDelete) {
  MakeFiles(Photos(), {{"Trip/a.jpg", "a"}, {"Trip/Sub/b.jpg", "b"}, {"Trip/Sub/c.jpg", "c"}});
  const std::string stuck = Photos() + "/Trip/Sub/b.jpg";
  platform_.Change([&](test::FakePlatform& f) { f.undeletable = {stuck}; });
  EXPECT_EQ(DeleteFolderTree(Media(), Photos() + "/Trip/"), -1);
  // One message, for the file; the folders that hold it are not tried again.
  EXPECT_EQ(host_.texts(), std::vector<std::string>{StringOf(IDS_COULD_NOT_DELETE_FILE) + stuck});
  EXPECT_TRUE(fs::exists(stuck));
}

TEST_F(GroupFolderTest, DeleteOnStickAsksForAFolderThatHoldsAnything) {
  const Tree start = {{"Full/a.mp3", "a"}, {"Empty", "<folder>"}, {"b.mp3", "b"}};
  const std::vector<StickRow> rows = {MusicRow("Full", true), MusicRow("Empty", true),
                                      MusicRow("b.mp3", false)};
  for (const int answer : {ResultYes, ResultNo}) {
    SCOPED_TRACE(answer);
    fs::remove_all(Music());
    MakeFiles(Music(), start);
    test::ScriptedHost host;
    host.Answer({answer});
    const GroupResult result = DeleteOnStick(Media(host, window_), StickPage::Music, "", rows);
    EXPECT_EQ(host.texts(),
              std::vector<std::string>{StringOf(IDS_REMOVE_GROUP_QUESTION) + "\r\n\r\nFull"});
    EXPECT_EQ(result.done, answer == ResultYes);
    EXPECT_TRUE(result.rescan);
    const Tree kept = {{"Full", "<folder>"}, {"Full/a.mp3", "a"}};
    EXPECT_EQ(TreeOf(Music()), answer == ResultYes ? Tree{} : kept);
  }
}

TEST_F(GroupFolderTest, DeleteOnStickEndsAtTheFirstFailure) {
  MakeFiles(Music(), {{"Road/a.mp3", "a"}, {"Road/b.mp3", "b"}, {"c.mp3", "c"}});
  platform_.Change([&](test::FakePlatform& f) { f.undeletable = {Music() + "/Road/a.mp3"}; });
  host_.Answer({ResultYes});
  const GroupResult result = DeleteOnStick(Media(), StickPage::Music, "",
                                           {MusicRow("Road", true), MusicRow("c.mp3", false)});
  EXPECT_FALSE(result.done);
  EXPECT_TRUE(result.rescan);
  ASSERT_EQ(host_.texts().size(), 2u);  // the question, then the one failure
  EXPECT_EQ(host_.texts()[1], StringOf(IDS_COULD_NOT_DELETE_FILE) + Music() + "/Road/a.mp3");
  EXPECT_TRUE(fs::exists(Music() + "/c.mp3"));
}

TEST_F(GroupFolderTest, RowsOutsideTheShownFolderAreLeftAlone) {
  MakeFiles(root_, {{"KEEP.BIN", "k"}, {"PSP/Music/Road/a.mp3", "a"}, {"PSP/Photo/p.jpg", "p"}});
  const Tree before = TreeOf(root_);
  const std::vector<StickRow> rows = {
      {"KEEP.BIN", root_ + "KEEP.BIN", false},    // not in the music folder
      {"..", Music() + "/..", true},              // not a name
      {"p.jpg", Photos() + "/p.jpg", false},      // another page's folder
      {"a.mp3", Music() + "/Road/a.mp3", false},  // in a group that is not open
      {"b.mp3", Music() + "/a.mp3", false},       // a name that is not its path's
      {"Road", Music() + "/Road", false},         // a folder given as a file
  };
  const GroupResult result = DeleteOnStick(Media(), StickPage::Music, "", rows);
  EXPECT_FALSE(result.done);
  EXPECT_EQ(TreeOf(root_), before);
  EXPECT_TRUE(host_.texts().empty());
  // And an open group that is not a name shows nothing at all.
  EXPECT_EQ(ShownFolder(Media(), StickPage::Music, ".."), "");
}

TEST_F(GroupFolderTest, ADeletedVideoTakesItsLoneThumbnailWhateverItsCase) {
  const std::string mpeg4 = "mp_root/100mnv01/";
  const struct {
    std::string what;
    Tree files;  // relative to the stick
    std::string deleted;
    Tree left;
  } kCases[] = {
      {"upper-case thumbnail",
       {{mpeg4 + "M4V00001.MP4", "v"}, {mpeg4 + "M4V00001.THM", "t"}},
       mpeg4 + "M4V00001.MP4",
       {}},
      {"lower-case thumbnail",
       {{mpeg4 + "M4V00001.MP4", "v"}, {mpeg4 + "m4v00001.thm", "t"}},
       mpeg4 + "M4V00001.MP4",
       {}},
      {"the AVC folder",
       {{"mp_root/100anv01/MAQ00001.MP4", "v"}, {"mp_root/100anv01/MAQ00001.THM", "t"}},
       "mp_root/100anv01/MAQ00001.MP4",
       {}},
      {"another file of the base name",
       {{mpeg4 + "M4V00001.MP4", "v"},
        {mpeg4 + "M4V00001.THM", "t"},
        {mpeg4 + "M4V00001.TXT", "x"}},
       mpeg4 + "M4V00001.MP4",
       {{mpeg4 + "M4V00001.THM", "t"}, {mpeg4 + "M4V00001.TXT", "x"}}},
      {"the same video in another case",
       {{mpeg4 + "M4V00001.MP4", "v"},
        {mpeg4 + "M4V00001.mp4", "w"},
        {mpeg4 + "M4V00001.THM", "t"}},
       mpeg4 + "M4V00001.MP4",
       {{mpeg4 + "M4V00001.mp4", "w"}, {mpeg4 + "M4V00001.THM", "t"}}},
      {"another video's thumbnail",
       {{mpeg4 + "M4V00001.MP4", "v"}, {mpeg4 + "M4V00002.THM", "t"}},
       mpeg4 + "M4V00001.MP4",
       {{mpeg4 + "M4V00002.THM", "t"}}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(root_ + "mp_root");
    MakeFiles(root_, c.files);
    const std::string name = c.deleted.substr(c.deleted.rfind('/') + 1);
    const GroupResult result =
        DeleteOnStick(Media(), StickPage::Video, "", {{name, root_ + c.deleted, false}});
    EXPECT_TRUE(result.done);
    EXPECT_TRUE(result.rescan);
    Tree left;
    for (const auto& [path, bytes] : TreeOf(root_))
      if (bytes != "<folder>") left[path] = bytes;
    EXPECT_EQ(left, c.left);
    EXPECT_TRUE(host_.texts().empty());
  }
}

}  // namespace
}  // namespace pspkvx
