#include "ui/MediaPages.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "base/DateText.h"
#include "base/WindowMessages.h"
#include "media/CatalogueAdd.h"
#include "media/FileList.h"
#include "media/MediaBatch.h"
#include "media/PhotoListPicture.h"
#include "media/PspSideScan.h"
#include "psp/StickLayout.h"
#include "ui/ContextMenus.h"
#include "ui/ControlIds.h"
#include "ui/ManagerDlg.h"
#include "ui/PageTable.h"
#include "ui/Pages.h"
#include "video/VideoBatch.h"
#include "video/VideoConvert.h"

namespace pspkvx {
namespace {

bool IsMediaPage(int page) {
  return page == PageVideo || page == PageMusic || page == PagePhoto;
}

bool IsGroupPage(int page) {
  return page == PageMusic || page == PagePhoto;
}

StickPage StickPageOf(int page) {
  return page == PageMusic   ? StickPage::Music
         : page == PagePhoto ? StickPage::Photos
                             : StickPage::Video;
}

// The list file parameters of the list worker: 0 video, 1 or 9 music, 2 photos, 7 all three,
// 8 the rated list.
bool SavesKind(uintptr_t which, int kind) {
  switch (kind) {
    case MediaVideo:
      return which == 0 || which == 7;
    case MediaMusic:
      return which == 1 || which == 7 || which == 9;
    default:
      return which == 2 || which == 7;
  }
}

}  // namespace

std::vector<ListRow> MediaRows(const std::vector<MediaEntry>& entries) {
  std::vector<ListRow> rows;
  rows.reserve(entries.size());
  for (const MediaEntry& entry : entries) {
    ListRow row;
    row.columns = {entry.name,
                   entry.IsFolder() ? "" : FormatSize(static_cast<uint64_t>(entry.size)),
                   DateTimeText(entry.modified),
                   "",
                   entry.path,
                   entry.IsFolder() ? "1" : "0"};
    row.selected = entry.state == EntryNew;
    rows.push_back(std::move(row));
  }
  return rows;
}

MediaPages::MediaPages(CManagerDlg& window) : window_(window) {}

MediaStick MediaPages::Stick() {
  return {window_.App().Platform(), window_.PspDrive(), window_.Stick(), window_, *this};
}

std::string MediaPages::OpenGroup(int kind) const {
  std::lock_guard<std::mutex> lock(textMutex_);
  return openGroup_[static_cast<size_t>(kind)];
}

void MediaPages::SetOpenGroup(int kind, const std::string& group) {
  std::lock_guard<std::mutex> lock(textMutex_);
  openGroup_[static_cast<size_t>(kind)] = group;
}

void MediaPages::Register() {
  WindowOperations& ops = window_.Operations();
  ops.loadLists = [this](const ManualResetEvent& stop) { LoadLists(stop); };
  ops.saveLists = [this](uintptr_t which, const ManualResetEvent&) { SaveLists(which); };
  ops.addFiles = [this](int page, const std::vector<std::string>& files) { AddFiles(page, files); };
  ops.addFilesFolder = [this](int) {
    const AppConfig& config = window_.App().m_config;
    const std::string last = FieldText(config.LastAddFolder);
    return last.empty() ? FieldText(config.PcFolder) : last;
  };
  ops.removeFromPcList = [this](int page) { RemoveFromPcList(page); };
  ops.scanPspSide = [this](int page) { ScanPspSide(page); };
  for (const int page : {PageVideo, PageMusic, PagePhoto})
    ops.batch[static_cast<size_t>(page)] = [this, page](uintptr_t parameter,
                                                        const ManualResetEvent& stop) {
      RunBatch(page, parameter, stop);
    };
  ops.convertVideos = [this](const ManualResetEvent& stop) { ConvertVideosToPc(stop); };
  ops.insideGroupFolder = [this](int page) { return !OpenGroup(page).empty(); };
  ops.rowIsGroupFolder = [this](int page, int row) {
    const auto found = row >= 0 ? StickRowAt(page, static_cast<size_t>(row)) : std::nullopt;
    return found && found->isFolder && OpenGroup(page).empty();
  };
  ops.groupMenuCommand = [this](int page, int command, int row) {
    GroupMenuCommand(page, command, row);
  };
  ops.newGroupFolder = [this](int page) { NewGroup(page); };
  ops.upALevel = [this](int page) { LeaveGroup(page); };
  ops.deleteOnStick = [this](int page) { DeleteOnStick(page); };
  ops.backgroundPasses.emplace_back(
      [this](const ManualResetEvent&) { return LoadNextPhotoPicture(); });
  ops.backgroundPasses.emplace_back(
      [this](const ManualResetEvent& stop) { return LoadNextVideoPicture(stop); });
}

// ---- The window's side of the operations ----

void MediaPages::SetStatusText(const std::string& text) {
  window_.Status().Set(text);
  window_.SendWindowMessage(WM_STATUS_CHANGED, 0, 0);
}

void MediaPages::SetProgress(int percent) {
  window_.Progress() = percent;
  window_.SendWindowMessage(WM_STATUS_CHANGED, 0, 0);
}

std::string MediaPages::ChooseSavePath(const std::string& proposed) {
  return window_.AskSavePath(proposed);
}

std::string MediaPages::AskName(const std::string& prompt, const std::string& initialName) {
  return window_.AskName(prompt, initialName);
}

// ---- The lists ----

std::string MediaPages::ListFilePath(int kind) const {
  return platform::JoinPath(window_.App().m_szProgramFolder, FileListName(kind));
}

void MediaPages::ShowPcRows(int kind) {
  window_.List(ControlsOfPage(kind).pcList)
      .SetRows(MediaRows(pc_[static_cast<size_t>(kind)].Entries()));
  if (kind == MediaPhoto) ++photoRowsGeneration_[0];
  if (kind == MediaVideo) ++videoRowsGeneration_[0];
}

void MediaPages::LoadLists(const ManualResetEvent& stop) {
  for (int kind = 0; kind < kMediaKinds && !stop.IsSet(); ++kind) {
    MediaCatalogue loaded;
    LoadFileList(loaded, ListFilePath(kind));
    std::vector<MediaEntry> fromFile = loaded.Entries();
    // Files the user added while the list still loaded stay, after those of the file.
    MediaCatalogue& catalogue = pc_[static_cast<size_t>(kind)];
    std::unordered_set<std::string> paths;
    paths.reserve(fromFile.size());
    for (const MediaEntry& entry : fromFile)
      paths.insert(platform::PathKey(entry.path));
    catalogue.Edit([&fromFile, &paths](std::vector<MediaEntry>& entries) {
      for (MediaEntry& added : entries)
        if (!paths.count(platform::PathKey(added.path))) fromFile.push_back(std::move(added));
      entries = std::move(fromFile);
    });
    catalogue.Sort();
    ShowPcRows(kind);
  }
  rated_ = LoadRatedList(platform::JoinPath(window_.App().m_szProgramFolder, kRatedListName));
}

void MediaPages::SaveLists(uintptr_t which) {
  if (which == 8) {
    SaveRatedList(rated_, platform::JoinPath(window_.App().m_szProgramFolder, kRatedListName));
    return;
  }
  for (int kind = 0; kind < kMediaKinds; ++kind)
    if (SavesKind(which, kind)) SaveFileList(pc_[static_cast<size_t>(kind)], ListFilePath(kind));
}

void MediaPages::AddFiles(int page, const std::vector<std::string>& files) {
  if (!IsMediaPage(page) || files.empty()) return;
  MediaCatalogue& catalogue = pc_[static_cast<size_t>(page)];
  for (const std::string& file : files)
    AddToCatalogue(catalogue, page, file, &window_);
  catalogue.Sort();
  ShowPcRows(page);
  catalogue.SettleNewEntries();
  // The next file dialog starts where this one ended.
  SetFieldText(window_.App().m_config.LastAddFolder, platform::FolderOfPath(files.front()));
}

void MediaPages::RemoveFromPcList(int page) {
  if (!IsMediaPage(page)) return;
  ListModel& list = window_.List(ControlsOfPage(page).pcList);
  MediaCatalogue& catalogue = pc_[static_cast<size_t>(page)];
  std::vector<size_t> selected;
  for (auto row = list.NextSelected(0); row; row = list.NextSelected(*row + 1))
    selected.push_back(*row);
  if (selected.empty()) return;
  // From the last, so that the indices of the others stay.
  for (auto it = selected.rbegin(); it != selected.rend(); ++it)
    catalogue.Remove(*it);
  window_.MarkListsChanged();
  ShowPcRows(page);
}

void MediaPages::ScanPspSide(int page) {
  if (!IsMediaPage(page)) return;
  pspSide_.Replace(pspkvx::ScanPspSide(window_.Stick(), page, OpenGroup(page)));
  ListModel& list = window_.List(ControlsOfPage(page).pspList);
  list.SetRows(MediaRows(pspSide_.Entries()));
  if (page == PagePhoto) ++photoRowsGeneration_[1];
  if (page == PageVideo) ++videoRowsGeneration_[1];
  // The folder the last file went into is selected again.
  std::string target;
  {
    std::lock_guard<std::mutex> lock(textMutex_);
    target = targetFolder_;
  }
  if (target.empty()) return;
  for (size_t row = 0; row < list.RowCount(); ++row)
    if (list.Text(row, MediaColumnFolder) == "1" && list.Text(row, MediaColumnName) == target)
      list.Select(row);
}

std::string MediaPages::SubfolderFor(int kind) {
  std::lock_guard<std::mutex> lock(textMutex_);
  targetFolder_.clear();
  const std::string& group = openGroup_[static_cast<size_t>(kind)];
  if (!group.empty()) return group;
  const ListModel& list = window_.List(ControlsOfPage(kind).pspList);
  const auto row = list.NextSelected(0);
  if (!row || list.Text(*row, MediaColumnFolder) != "1") return "";
  targetFolder_ = list.Text(*row, MediaColumnName);
  return targetFolder_;
}

// ---- The batch ----

void MediaPages::RunBatch(int page, uintptr_t parameter, const ManualResetEvent& stop) {
  if (!IsMediaPage(page)) return;
  // The Convert button's batch (parameter 1) converts videos onto the PC.
  if (parameter != 0) return;
  ListModel& list = window_.List(ControlsOfPage(page).pcList);
  MediaCatalogue& catalogue = pc_[static_cast<size_t>(page)];
  const MediaStick stick = Stick();
  const int photoMode = window_.App().m_config.PhotoCopyMode;
  // The video choices as they are when the batch starts.
  VideoConversion conversion;
  conversion.programFolder = window_.App().m_szProgramFolder;
  conversion.videoOptions = window_.App().m_config.VideoOptions;
  conversion.avc = (conversion.videoOptions & VideoAvc) != 0;
  conversion.stop = &stop;
  EncoderProgress progress;
  bool handled = false;
  for (auto row = list.NextSelected(0); row && !stop.IsSet(); row = list.NextSelected(*row + 1)) {
    const auto entry = catalogue.At(*row);
    if (!entry) continue;
    const std::string subfolder = page == MediaVideo ? "" : SubfolderFor(page);
    const BatchStep step = page == MediaVideo
                               ? ConvertForPspStep(stick, *entry, conversion, progress)
                               : SendPageEntry(stick, page, *entry, subfolder, photoMode, &stop);
    if (!step.handled) continue;
    handled = true;
    if (step.Done()) list.Select(*row, false);
    if (step.EndsBatch(page)) break;
    ScanPspSide(page);
  }
  if (handled) ScanPspSide(page);
}

// ---- Converting videos onto the PC ----

namespace {

// The MP4 a video becomes on the PC: its path with the extension replaced by ".mp4". Paths are
// not cut, however long.
std::string PcMp4For(const std::string& source) {
  const std::string extension = LowerExtension(source);
  return (extension.empty() ? source : source.substr(0, source.size() - extension.size() - 1)) +
         ".mp4";
}

bool Exists(const std::string& path) {
  return platform::QueryLocalPath(path).has_value();
}

}  // namespace

void MediaPages::ConvertVideosToPc(const ManualResetEvent& stop) {
  ListModel& list = window_.List(IdVideoPcList);
  MediaCatalogue& catalogue = pc_[MediaVideo];
  AppConfig& config = window_.App().m_config;
  VideoConversion conversion;
  conversion.programFolder = window_.App().m_szProgramFolder;
  conversion.videoOptions = config.VideoOptions;
  conversion.avc = (conversion.videoOptions & VideoAvc) != 0;
  conversion.stop = &stop;
  EncoderProgress progress;
  std::vector<std::string> added;
  window_.MarkListsChanged();
  for (auto row = list.NextSelected(0); row && !stop.IsSet(); row = list.NextSelected(*row + 1)) {
    const auto entry = catalogue.At(*row);
    if (!entry || entry->IsFolder() || LowerExtension(entry->path) == "mp4") continue;
    std::string destination = PcMp4For(entry->path);
    if (Exists(destination)) {
      // Whether it can be read or not, a file there is asked about, never overwritten silently.
      MessageBoxRequest question;
      question.text = StringOf(IDS_DESTINATION_EXISTS) + destination;
      const bool listed = catalogue.FindByPath(destination).has_value();
      question.type = listed ? MbExistingDestination : MbExistingDestinationAdd;
      const int answer = ShowMessage(window_, question);
      if (answer == ResultAddToList) {
        added.push_back(destination);
        continue;
      }
      if (answer == ResultNo) {  // Rename
        destination = ChooseSavePath(destination);
        if (destination.empty()) continue;
      } else if (answer != ResultYes) {
        continue;  // Skip
      }
      if (platform::SamePath(destination, entry->path)) continue;  // never over its own source
      std::remove(destination.c_str());
    }
    // The destination is made first: a folder that cannot take it asks for another place.
    if (std::FILE* made = std::fopen(destination.c_str(), "wb")) {
      std::fclose(made);
    } else {
      std::string folder = FieldText(config.ConvertFolder);
      const auto status = platform::QueryLocalPath(folder);
      if (!status)
        folder = window_.App().Platform().DocumentsFolder();
      else if (status->kind != platform::PathKind::Folder)
        folder = platform::FolderOfPath(folder);
      if (folder.empty()) folder = window_.App().m_szProgramFolder;
      const size_t separator = destination.find_last_of("\\/");
      destination = ChooseSavePath(platform::JoinPath(folder, destination.substr(separator + 1)));
      if (destination.empty() || platform::SamePath(destination, entry->path)) continue;
      SetFieldText(config.ConvertFolder, destination);
      std::FILE* chosen = std::fopen(destination.c_str(), "wb");
      if (!chosen) continue;
      std::fclose(chosen);
    }
    conversion.output = destination;
    const ConvertOutcome converted = ConvertVideo(&*entry, conversion, *this, progress);
    if (converted.result == ConvertOk) {
      added.push_back(destination);
      continue;
    }
    std::remove(destination.c_str());
    if (converted.result == ConvertCancelled) break;
    ShowMessage(window_, converted.result == ConvertLaunchFailed
                             ? StringOf(IDS_ENCODER_NOT_STARTED)
                             : StringOf(IDS_VIDEO_UNSUPPORTED) + "\r\n" + entry->name);
  }
  if (!added.empty()) AddFiles(PageVideo, added);
}

// ---- The photo lists' pictures ----

bool MediaPages::LoadNextPhotoPicture() {
  if (window_.CurrentPage() != PagePhoto || window_.Closing()) return false;
  const uint32_t toggles = std::atomic_ref<uint32_t>(window_.App().m_config.ListViewToggles).load();
  const bool plainRows = (toggles & kPlainPhotoRowsBit) != 0;
  return GiveNextPicture(0, plainRows) || GiveNextPicture(1, plainRows);
}

bool MediaPages::GiveNextPicture(size_t which, bool plainRows) {
  // A picture is made once per file and size; a thousand photo rows take a few megabytes.
  constexpr size_t kMaxMadePictures = 5000;
  ListModel& list = window_.List(which == 0 ? IdPhotoPcList : IdPhotoPspList);
  PictureTries& tries = pictureTries_[which];
  const uint64_t generation = photoRowsGeneration_[which].load();
  if (tries.plainRows != plainRows) {
    // The other size: every row's picture is made again.
    list.Edit([](std::vector<ListRow>& rows) {
      for (ListRow& row : rows)
        row.pictureBytes = nullptr;
    });
    tries.generation = ~uint64_t(0);
  }
  if (tries.generation != generation) tries = {generation, plainRows, {}};

  const std::vector<ListRow> rows = list.Rows();
  for (size_t index = 0; index < rows.size(); ++index) {
    const ListRow& row = rows[index];
    if (row.pictureBytes || row.columns.size() <= MediaColumnFolder ||
        row.columns[MediaColumnFolder] == "1")
      continue;
    const std::string& path = row.columns[MediaColumnPath];
    // Each row is tried once until its list is rebuilt: one that fails is not tried forever.
    if (path.empty() || !tries.tried.insert(path).second) continue;
    const std::string key = path + '\n' + row.columns[MediaColumnSize] + '\n' +
                            row.columns[MediaColumnDate] + (plainRows ? "\ns" : "\nl");
    std::shared_ptr<const std::string> picture;
    if (const auto found = madePictures_.find(key); found != madePictures_.end()) {
      picture = found->second;
    } else {
      std::optional<std::string> png = MakePhotoListPng(path, plainRows);
      if (!png) continue;
      picture = std::make_shared<const std::string>(std::move(*png));
      if (madePictures_.size() >= kMaxMadePictures) madePictures_.clear();
      madePictures_.emplace(key, picture);
    }
    // Given only to a row that still shows the same file.
    bool given = false;
    list.Edit([&](std::vector<ListRow>& now) {
      if (index < now.size() && now[index].columns.size() > MediaColumnPath &&
          now[index].columns[MediaColumnPath] == path) {
        now[index].pictureBytes = picture;
        given = true;
      }
    });
    if (given) return true;
  }
  return false;
}

// ---- The video lists' pictures ----

namespace {

// A video's thumbnail file as it is on the disk: ".thm" or ".THM".
std::string FoundThumbnail(const std::string& videoPath) {
  std::string thumbnail = VideoThumbnailPath(videoPath);
  if (thumbnail.empty()) return "";
  if (platform::QueryLocalPath(thumbnail)) return thumbnail;
  const std::string upper = thumbnail.substr(0, thumbnail.size() - 3) + "THM";
  return platform::QueryLocalPath(upper) ? upper : "";
}

// The name a stick thumbnail's trailer holds ("Name:" and the video's name on the PC, in its
// last 40 bytes); empty when none.
std::string TrailerName(const std::string& thumbnail) {
  const auto status = platform::QueryLocalPath(thumbnail);
  if (!status || status->kind != platform::PathKind::File) return "";
  std::FILE* file = std::fopen(thumbnail.c_str(), "rb");
  if (!file) return "";
  const long tail = static_cast<long>(std::min<uint64_t>(status->size, 40));
  std::string bytes(static_cast<size_t>(tail), '\0');
  const bool read = std::fseek(file, -tail, SEEK_END) == 0 &&
                    std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  std::fclose(file);
  if (!read) return "";
  const size_t marker = bytes.find("Name:");
  if (marker == std::string::npos) return "";
  std::string name = bytes.substr(marker + 5);
  if (const size_t zero = name.find('\0'); zero != std::string::npos) name.resize(zero);
  return name;
}

}  // namespace

bool MediaPages::LoadNextVideoPicture(const ManualResetEvent& stop) {
  if (window_.CurrentPage() != PageVideo || window_.Closing()) return false;
  const bool pc = GiveNextVideoPicture(0, stop);
  const bool stick = GiveNextVideoPicture(1, stop);
  return pc || stick;
}

bool MediaPages::GiveNextVideoPicture(size_t which, const ManualResetEvent& stop) {
  const uint32_t toggles = std::atomic_ref<uint32_t>(window_.App().m_config.ListViewToggles).load();
  // Plain rows: the PC list makes no thumbnails, the stick list loads no pictures.
  const bool plainRows = (toggles & (which == 0 ? 0x2u : 0x4u)) != 0;
  ListModel& list = window_.List(which == 0 ? IdVideoPcList : IdVideoPspList);
  PictureTries& tries = videoTries_[which];
  const uint64_t generation = videoRowsGeneration_[which].load();
  if (tries.generation != generation) tries = {generation, plainRows, {}};

  const std::vector<ListRow> rows = list.Rows();
  for (size_t index = 0; index < rows.size() && !stop.IsSet(); ++index) {
    const ListRow& row = rows[index];
    if (row.pictureBytes || row.columns.size() <= MediaColumnFolder ||
        row.columns[MediaColumnFolder] == "1")
      continue;
    const std::string& path = row.columns[MediaColumnPath];
    if (path.empty() || !tries.tried.insert(path).second) continue;
    std::string thumbnail = FoundThumbnail(path);
    std::string name;
    bool made = false;
    if (which == 0 && thumbnail.empty()) {
      // One video's thumbnail made per pass; an MP4 on the PC gets none made.
      if (plainRows || LowerExtension(path) == "mp4") continue;
      made = true;
      if (MakeVideoThumbnail(window_.App().m_szProgramFolder, path, &stop, path))
        thumbnail = FoundThumbnail(path);
    } else if (which == 1 && !thumbnail.empty()) {
      name = TrailerName(thumbnail);
    }
    std::shared_ptr<const std::string> picture;
    if (!thumbnail.empty() && !(which == 1 && plainRows)) {
      if (auto png = MakePhotoListPng(thumbnail, false))
        picture = std::make_shared<const std::string>(std::move(*png));
    }
    bool changed = false;
    list.Edit([&](std::vector<ListRow>& now) {
      if (index >= now.size() || now[index].columns.size() <= MediaColumnPath ||
          now[index].columns[MediaColumnPath] != path)
        return;
      if (picture) {
        now[index].pictureBytes = picture;
        changed = true;
      }
      if (!name.empty()) {
        now[index].columns[MediaColumnName] = name;
        changed = true;
      }
    });
    // Rows that need nothing made are gone through at once, without a rest between them.
    if (changed || made) return changed;
  }
  return false;
}

// ---- Group folders and the files on the stick ----

std::optional<StickRow> MediaPages::StickRowAt(int page, size_t row) {
  const auto found = window_.List(ControlsOfPage(page).pspList).Row(row);
  if (!found || found->columns.size() <= MediaColumnFolder) return std::nullopt;
  // The file's own name, from its path: a video row shows the name its thumbnail holds.
  const std::string& path = found->columns[MediaColumnPath];
  const size_t separator = path.find_last_of("\\/");
  return StickRow{separator == std::string::npos ? path : path.substr(separator + 1), path,
                  found->columns[MediaColumnFolder] == "1"};
}

std::vector<StickRow> MediaPages::SelectedStickRows(int page) {
  std::vector<StickRow> rows;
  const ListModel& list = window_.List(ControlsOfPage(page).pspList);
  for (auto row = list.NextSelected(0); row; row = list.NextSelected(*row + 1))
    if (const auto found = StickRowAt(page, *row)) rows.push_back(*found);
  return rows;
}

void MediaPages::Apply(int page, const GroupResult& result) {
  if (IsGroupPage(page) && result.openGroup != OpenGroup(page)) {
    SetOpenGroup(page, result.openGroup);
    window_.List(ControlsOfPage(page).pspList).ClearSelection();
    std::lock_guard<std::mutex> lock(textMutex_);
    targetFolder_.clear();
  }
  if (result.rescan) ScanPspSide(page);
}

void MediaPages::NewGroup(int page) {
  if (!IsGroupPage(page)) return;
  Apply(page, NewGroupFolder(Stick(), StickPageOf(page), OpenGroup(page)));
}

void MediaPages::LeaveGroup(int page) {
  if (!IsGroupPage(page)) return;
  Apply(page, pspkvx::LeaveGroup(StickPageOf(page), OpenGroup(page)));
}

void MediaPages::GroupMenuCommand(int page, int command, int row) {
  if (!IsGroupPage(page)) return;
  const ListModel& list = window_.List(ControlsOfPage(page).pspList);
  const auto selected = list.NextSelected(0);
  const auto target = selected   ? StickRowAt(page, *selected)
                      : row >= 0 ? StickRowAt(page, static_cast<size_t>(row))
                                 : std::nullopt;
  if (!target) return;
  if (command == MenuOpen)
    Apply(page, pspkvx::OpenGroup(StickPageOf(page), OpenGroup(page), *target));
  else if (command == MenuRename)
    Apply(page, RenameOnStick(Stick(), StickPageOf(page), OpenGroup(page), *target));
}

void MediaPages::DeleteOnStick(int page) {
  if (!IsMediaPage(page)) return;
  const std::vector<StickRow> rows = SelectedStickRows(page);
  if (rows.empty()) return;
  Apply(page, pspkvx::DeleteOnStick(Stick(), StickPageOf(page), OpenGroup(page), rows));
}

}  // namespace pspkvx
