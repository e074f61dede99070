// Group folders and files on the stick. The music and photo pages keep one level of folders,
// the group folders, inside the stick's music folder ("PSP/Music") and photo folder
// ("PSP/Photo"); their PSP lists show either the top of that folder or the one group folder that
// is open. The operations here create, open, leave, rename and delete group folders, rename and
// delete the files of those lists, and delete videos from the stick with their thumbnails.
//
// Each operation takes the stick, the page and the page's open group (a text the window keeps,
// empty at the top) and returns what the window does next: rescan the page's PSP list, and the
// open group from now on. Messages and questions go through the stick's message-box host, names
// are asked with IMediaWindow::AskName. The rows acted on are plain descriptions, so nothing here
// depends on a list; a row counts only when its path is the entry of its name directly inside
// the folder the page shows (for videos: one of the two video folders), so no row leads
// elsewhere. Window thread; the window refuses these while a batch runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "media/MediaStick.h"
#include "platform/Platform.h"

namespace pspkvx {

enum class StickPage {
  Video,  // both video folders; only DeleteOnStick acts on it
  Music,
  Photos,
};

// A row of a page's PSP list.
struct StickRow {
  std::string name;  // the entry's name in its folder, as the list shows it
  std::string path;  // its full path
  bool isFolder = false;
};

// What an operation tells the window.
struct GroupResult {
  bool done = false;      // everything asked was done (false: cancelled, refused or failed)
  bool rescan = false;    // the stick or the open group changed: rescan the page's PSP list
  std::string openGroup;  // the page's open group from now on
  std::string name;       // NewGroupFolder and RenameOnStick: the name the entry has now
};

// A group folder's name as it is created: the text without '&', '%', '<', '>', '#' and without
// any byte of 128 or more (CleanText, the rule of the saves' titles).
std::string CleanFolderName(const std::string& text);

// Why name cannot be a file's or folder's name on the stick, in words that follow the name
// ("holds a path separator"), or empty when it can: a bare name (BareNameProblem: no separator,
// no ':', not "." or "..") without a character that the stick's FAT file system forbids
// (" * < > ? | and control characters).
std::string StickNameProblem(std::string_view name);

// A typed name for a new or renamed group folder: cleaned, and the problem of the cleaned name
// (empty when it can be used). A name empty after cleaning has no problem: it creates nothing,
// without a message.
struct CheckedGroupName {
  std::string name;
  std::string problem;
};
CheckedGroupName CheckGroupName(const std::string& typed);

// The message for a refused name: "That name cannot be used on the PSP memory stick:", two line
// breaks, the name in quotes and its problem.
std::string NameRefusedMessage(const std::string& name, const std::string& problem);

// The folder a page's PSP list shows, as it is on the stick: the page's folder, or the open
// group inside it. Empty without a stick, for the video page and for an open group that is not
// a bare name.
std::string ShownFolder(const MediaStick& stick, StickPage page, const std::string& openGroup);

// Asks for a name (string 37) and creates that group folder in the page's folder (made when the
// stick has none yet). With a group open nothing is asked or created: groups are one level deep.
// A refused name, or one a file or folder on the stick already has (strings 43 and 44, in any
// case), shows its message and creates nothing.
GroupResult NewGroupFolder(const MediaStick& stick, StickPage page, const std::string& openGroup);

// A folder row opened at the top of the page's folder becomes the open group.
GroupResult OpenGroup(StickPage page, const std::string& openGroup, const StickRow& row);
// Back to the top of the page's folder.
GroupResult LeaveGroup(StickPage page, const std::string& openGroup);

// Renames the row in the folder the page shows, asking for the new name prefilled with the old.
// A file row (string 38) takes the name as typed: a name the stick cannot hold is refused, and
// one that an entry of that folder already has (in any case, other than the row itself) shows
// string 43 with the name. A folder row (string 39) takes the cleaned name and is moved with
// MoveFolder: -3 shows string 43, -2 string 44, each with the name. Nothing is renamed then.
GroupResult RenameOnStick(const MediaStick& stick, StickPage page, const std::string& openGroup,
                          const StickRow& row);

// Moves the folder oldPath with everything in it to newPath (one rename on the stick's volume).
// 1 the old folder was empty, 0 moved, -2 a folder of the new name exists, -3 a file (or anything
// else) of the new name exists, -4 newPath lies inside oldPath, -1 oldPath is not a folder or the
// move failed. The new name is looked up whatever its case, as the stick's FAT file system does;
// a change of case of the folder's own name is a plain rename. Nothing is changed unless 0 or 1.
int MoveFolder(platform::Platform& platform, const std::string& oldPath,
               const std::string& newPath);

// Deletes the folder with everything in it: 0, or -1 after the message of the first item that
// could not be deleted (DeleteStickTree, psp/StickTree.h).
int DeleteFolderTree(const MediaStick& stick, const std::string& path);

// Deletes the rows from the stick, in order, while the PSP is ready. A folder row that holds
// anything goes only after string 56 with its name was answered Yes; a file row goes at once.
// On the video page, after a deleted ".mp4" whose base name no other file of its folder has but a
// thumbnail, the thumbnail goes too (base name + ".thm", found whatever its case). The first
// item that cannot be deleted shows its message and ends the deletion. done: every row was
// deleted.
GroupResult DeleteOnStick(const MediaStick& stick, StickPage page, const std::string& openGroup,
                          const std::vector<StickRow>& rows);

}  // namespace pspkvx
