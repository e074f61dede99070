#include "media/GroupFolders.h"

#include <cstring>
#include <optional>

#include "base/Names.h"
#include "base/StringTable.h"
#include "psp/StickLayout.h"
#include "psp/StickTree.h"

namespace pspkvx {
namespace {

constexpr char kSep = platform::kPathSep;

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && path.back() == kSep)
    path.pop_back();
  return path;
}

std::string LastComponent(const std::string& path) {
  const size_t sep = path.find_last_of(kSep);
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() &&
         EqualsIgnoringAsciiCase(text.substr(text.size() - end.size()), end);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, start.size()), start);
}

int PageKind(StickPage page) {
  return page == StickPage::Music ? StickMusic : StickPhotos;
}

// The page's own folder on the stick; empty without a ready PSP and for the video page.
std::string PageFolder(const MediaStick& stick, StickPage page) {
  if (page == StickPage::Video || !stick.drive.IsReady()) return "";
  return stick.files.KindFolder(PageKind(page));
}

// The path of a row when it names the entry of its name directly inside one of folders (the
// folder part compared whatever its case); empty for any other row.
std::string RowPath(const std::vector<std::string>& folders, const StickRow& row) {
  if (!BareNameProblem(row.name).empty()) return "";
  const std::string path = WithoutTrailingSeparators(row.path);
  if (LastComponent(path) != row.name) return "";
  for (const std::string& folder : folders)
    if (!folder.empty() && EqualsIgnoringAsciiCase(platform::FolderOfPath(path), folder))
      return platform::JoinPath(folder, row.name);
  return "";
}

// What an operation that did nothing tells the window.
GroupResult Unchanged(const std::string& openGroup) {
  GroupResult result;
  result.openGroup = openGroup;
  return result;
}

std::string WithName(int id, const std::string& name) {
  return StringOf(id) + "\r\n\r\n" + name;
}

// After the video at path was deleted: when no other file of its folder has its base name but
// thumbnails, deletes its thumbnail (base name + ".thm", in any case). 0, or -1 after the
// message of a thumbnail that could not be deleted.
int DeleteLoneThumbnail(const MediaStick& stick, const std::string& path) {
  const std::string name = LastComponent(path);
  if (!EndsWithIgnoringCase(name, ".mp4")) return 0;
  const std::string base = name.substr(0, name.size() - 4);
  const std::string folder = platform::FolderOfPath(path);
  std::vector<std::string> thumbnails;
  for (const platform::FolderEntry& entry : stick.platform.ListFolder(folder)) {
    const bool sameBase =
        EqualsIgnoringAsciiCase(entry.name, base) || StartsWithIgnoringCase(entry.name, base + ".");
    if (!sameBase) continue;
    if (!EndsWithIgnoringCase(entry.name, "thm")) return 0;  // another file of the video stays
    if (!entry.isFolder && EqualsIgnoringAsciiCase(entry.name, base + ".thm"))
      thumbnails.push_back(platform::JoinPath(folder, entry.name));
  }
  for (const std::string& thumbnail : thumbnails) {
    if (!stick.platform.RemoveFile(thumbnail)) {
      ShowMessage(stick.host, StringOf(IDS_COULD_NOT_DELETE_FILE) + thumbnail);
      return -1;
    }
  }
  return 0;
}

}  // namespace

std::string CleanFolderName(const std::string& text) {
  return CleanText(text, '\0').text;
}

std::string StickNameProblem(std::string_view name) {
  if (auto problem = BareNameProblem(name); !problem.empty()) return problem;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "holds a control character";
    if (std::strchr("\"*<>?|", c) != nullptr)
      return std::string("holds the character '") + c +
             "', which the memory stick's file system does not allow";
  }
  return "";
}

CheckedGroupName CheckGroupName(const std::string& typed) {
  CheckedGroupName checked;
  checked.name = CleanFolderName(typed);
  if (!checked.name.empty()) checked.problem = StickNameProblem(checked.name);
  return checked;
}

std::string NameRefusedMessage(const std::string& name, const std::string& problem) {
  return StringOf(IDS_NAME_NOT_ALLOWED) + "\r\n\r\n\"" + name + "\" " + problem + ".";
}

std::string ShownFolder(const MediaStick& stick, StickPage page, const std::string& openGroup) {
  std::string folder = PageFolder(stick, page);
  if (folder.empty() || openGroup.empty()) return folder;
  if (!BareNameProblem(openGroup).empty()) return "";
  return FindOnStick(stick.platform, folder, openGroup);
}

GroupResult NewGroupFolder(const MediaStick& stick, StickPage page, const std::string& openGroup) {
  GroupResult result = Unchanged(openGroup);
  if (!openGroup.empty()) return result;
  const std::string folder = PageFolder(stick, page);
  if (folder.empty()) return result;
  const CheckedGroupName checked =
      CheckGroupName(stick.window.AskName(StringOf(IDS_ENTER_GROUP_NAME), ""));
  if (checked.name.empty()) return result;
  if (!checked.problem.empty()) {
    ShowMessage(stick.host, NameRefusedMessage(checked.name, checked.problem));
    return result;
  }
  MakeFolders(stick.platform, folder);
  if (const auto existing =
          stick.platform.QueryPath(FindOnStick(stick.platform, folder, checked.name))) {
    const bool isFolder = existing->kind == platform::PathKind::Folder;
    ShowMessage(stick.host,
                WithName(isFolder ? IDS_FOLDER_NAME_EXISTS : IDS_FILE_NAME_EXISTS, checked.name));
    return result;
  }
  const std::string path = platform::JoinPath(folder, checked.name);
  if (!stick.platform.CreateFolder(path)) {
    ShowMessage(stick.host, StringOf(IDS_COULD_NOT_CREATE_FOLDER) + path);
    return result;
  }
  result.done = result.rescan = true;
  result.name = checked.name;
  return result;
}

GroupResult OpenGroup(StickPage page, const std::string& openGroup, const StickRow& row) {
  GroupResult result = Unchanged(openGroup);
  if (page == StickPage::Video || !openGroup.empty() || !row.isFolder ||
      !BareNameProblem(row.name).empty())
    return result;
  result.done = result.rescan = true;
  result.openGroup = row.name;
  return result;
}

GroupResult LeaveGroup(StickPage page, const std::string& openGroup) {
  GroupResult result = Unchanged(openGroup);
  if (page == StickPage::Video || openGroup.empty()) return result;
  result.done = result.rescan = true;
  result.openGroup.clear();
  return result;
}

GroupResult RenameOnStick(const MediaStick& stick, StickPage page, const std::string& openGroup,
                          const StickRow& row) {
  GroupResult result = Unchanged(openGroup);
  const std::string folder = ShownFolder(stick, page, openGroup);
  const std::string oldPath = RowPath({folder}, row);
  if (oldPath.empty()) return result;
  const std::string typed = stick.window.AskName(
      StringOf(row.isFolder ? IDS_EDIT_GROUP_NAME : IDS_EDIT_FILE_NAME), row.name);
  if (typed.empty()) return result;

  if (!row.isFolder) {
    if (auto problem = StickNameProblem(typed); !problem.empty()) {
      ShowMessage(stick.host, NameRefusedMessage(typed, problem));
      return result;
    }
    result.name = typed;
    if (typed == row.name) {
      result.done = true;  // nothing to change
      return result;
    }
    const std::string existing = FindOnStick(stick.platform, folder, typed);
    if (existing != oldPath && stick.platform.QueryPath(existing)) {
      ShowMessage(stick.host, WithName(IDS_FILE_NAME_EXISTS, typed));
      return result;
    }
    if (!stick.platform.MovePath(oldPath, platform::JoinPath(folder, typed))) {
      ShowMessage(stick.host, StringOf(IDS_COULD_NOT_RENAME_FILE) + oldPath);
      return result;
    }
    result.done = result.rescan = true;
    return result;
  }

  const CheckedGroupName checked = CheckGroupName(typed);
  if (checked.name.empty()) return result;
  if (!checked.problem.empty()) {
    ShowMessage(stick.host, NameRefusedMessage(checked.name, checked.problem));
    return result;
  }
  result.name = checked.name;
  if (checked.name == row.name) {
    result.done = true;
    return result;
  }
  switch (MoveFolder(stick.platform, oldPath, platform::JoinPath(folder, checked.name))) {
    case 0:
    case 1:
      result.done = result.rescan = true;
      break;
    case -3:
      ShowMessage(stick.host, WithName(IDS_FILE_NAME_EXISTS, checked.name));
      break;
    case -2:
      ShowMessage(stick.host, WithName(IDS_FOLDER_NAME_EXISTS, checked.name));
      break;
    default:
      ShowMessage(stick.host, StringOf(IDS_COULD_NOT_RENAME_FOLDER) + oldPath);
      break;
  }
  return result;
}

int MoveFolder(platform::Platform& platform, const std::string& oldPath,
               const std::string& newPath) {
  const std::string from = WithoutTrailingSeparators(oldPath);
  const std::string to = WithoutTrailingSeparators(newPath);
  const auto status = platform.QueryPath(from);
  if (!status || status->kind != platform::PathKind::Folder) return -1;
  // A folder moved into itself would have to hold itself.
  if (StartsWithIgnoringCase(to, from + kSep)) return -4;
  const std::string toFolder = platform::FolderOfPath(to);
  const std::string toName = LastComponent(to);
  const bool caseChangeOnly = EqualsIgnoringAsciiCase(platform::FolderOfPath(from), toFolder) &&
                              EqualsIgnoringAsciiCase(LastComponent(from), toName) &&
                              LastComponent(from) != toName;
  if (!caseChangeOnly) {
    if (const auto existing = platform.QueryPath(FindOnStick(platform, toFolder, toName)))
      return existing->kind == platform::PathKind::Folder ? -2 : -3;
  }
  const bool wasEmpty = platform.ListFolder(from).empty();
  if (!platform.MovePath(from, to)) return -1;
  return wasEmpty ? 1 : 0;
}

int DeleteFolderTree(const MediaStick& stick, const std::string& path) {
  return DeleteStickTree(stick.platform, stick.host, path);
}

GroupResult DeleteOnStick(const MediaStick& stick, StickPage page, const std::string& openGroup,
                          const std::vector<StickRow>& rows) {
  GroupResult result = Unchanged(openGroup);
  if (!stick.drive.IsReady()) return result;
  const std::vector<std::string> folders =
      page == StickPage::Video ? std::vector<std::string>{stick.files.KindFolder(StickMpeg4Video),
                                                          stick.files.KindFolder(StickAvcVideo)}
                               : std::vector<std::string>{ShownFolder(stick, page, openGroup)};
  bool all = true;
  for (const StickRow& row : rows) {
    const std::string path = RowPath(folders, row);
    const auto status = path.empty() ? std::nullopt : stick.platform.QueryPath(path);
    // A row that names nothing of the page's folder, or whose entry changed since the list was
    // read, is left alone.
    if (!status || (status->kind == platform::PathKind::Folder) != row.isFolder) {
      all = false;
      continue;
    }
    if (row.isFolder) {
      const bool holdsAnything = !stick.platform.ListFolder(path).empty();
      if (holdsAnything && !AskYesNo(stick.host, WithName(IDS_REMOVE_GROUP_QUESTION, row.name))) {
        all = false;
        continue;
      }
      result.rescan = true;
      if (DeleteFolderTree(stick, path) != 0) {
        all = false;
        break;
      }
      continue;
    }
    result.rescan = true;
    if (!stick.platform.RemoveFile(path)) {
      ShowMessage(stick.host, StringOf(IDS_COULD_NOT_DELETE_FILE) + path);
      all = false;
      break;
    }
    if (page == StickPage::Video && DeleteLoneThumbnail(stick, path) != 0) {
      all = false;
      break;
    }
  }
  if (result.rescan) stick.drive.ProbeCurrentDrive();
  result.done = all && !rows.empty();
  return result;
}

}  // namespace pspkvx
