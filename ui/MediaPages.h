// The media pages' side of the main window: the PC catalogue of each media page behind its left
// list, the stick side behind its right list, their list files, the adding and removing of
// files and the batch that sends the chosen files to the stick. It registers its operations
// with the window's logic and is the media operations' window (IMediaWindow).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/ManualResetEvent.h"
#include "media/GroupFolders.h"
#include "media/MediaCatalogue.h"
#include "media/MediaStick.h"
#include "media/MediaTypes.h"
#include "ui/ListModel.h"

namespace pspkvx {

class CManagerDlg;

// The columns of a media list's rows: the name, the size and date texts, the whole path, and
// "1" on a folder row.
enum MediaListColumn : size_t {
  MediaColumnName = 0,
  MediaColumnSize = 1,
  MediaColumnDate = 2,
  MediaColumnInfo = 3,
  MediaColumnPath = 4,
  MediaColumnFolder = 5,
};

// The rows of a catalogue: entries just added (state 2) come selected.
std::vector<ListRow> MediaRows(const std::vector<MediaEntry>& entries);

class MediaPages : public IMediaWindow {
 public:
  explicit MediaPages(CManagerDlg& window);

  // Registers the operations with the window; before the window starts its workers.
  void Register();

  MediaCatalogue& PcCatalogue(int kind) { return pc_[static_cast<size_t>(kind)]; }
  MediaCatalogue& PspSide() { return pspSide_; }
  // The open group folder of the music or photo page (empty at the top).
  std::string OpenGroup(int kind) const;
  void SetOpenGroup(int kind, const std::string& group);
  const std::vector<uint32_t>& RatedList() const { return rated_; }
  MediaStick Stick();

  // IMediaWindow: any thread.
  void SetStatusText(const std::string& text) override;
  void SetProgress(int percent) override;
  std::string ChooseSavePath(const std::string& proposed) override;
  std::string AskName(const std::string& prompt, const std::string& initialName) override;

  // The operations (public for the window's tests).
  void LoadLists(const ManualResetEvent& stop);
  void SaveLists(uintptr_t which);
  void AddFiles(int page, const std::vector<std::string>& files);
  void RemoveFromPcList(int page);
  void ScanPspSide(int page);
  // The Convert button's batch: the selected videos converted into MP4 files beside them on
  // the PC and added to the PC list.
  void ConvertVideosToPc(const ManualResetEvent& stop);
  // parameter: 0 the transfer button's batch, 1 the Convert button's.
  void RunBatch(int page, uintptr_t parameter, const ManualResetEvent& stop);
  // The group folders and the files of the PSP lists (window thread).
  void NewGroup(int page);
  void LeaveGroup(int page);
  // Open (a folder row) or Rename: the selected row of the PSP list, else the row given.
  void GroupMenuCommand(int page, int command, int row);
  void DeleteOnStick(int page);
  // The background worker's pass on the photo page: the next row of the photo lists (the PC
  // list first) that has no picture gets one; true when one did.
  bool LoadNextPhotoPicture();
  // The video lists' pictures, on the video page: the next PC row gets its thumbnail (made first
  // with the encoder when the video has none), the next stick row its thumbnail and the name its
  // thumbnail's trailer holds. True when a row changed.
  bool LoadNextVideoPicture(const ManualResetEvent& stop);

 private:
  std::string ListFilePath(int kind) const;
  // The PSP list's rows as the group operations take them.
  std::optional<StickRow> StickRowAt(int page, size_t row);
  std::vector<StickRow> SelectedStickRows(int page);
  // A new open group clears the list's selection; the list is rescanned when asked.
  void Apply(int page, const GroupResult& result);
  void ShowPcRows(int kind);
  // The folder a music or photo file goes into: the open group, else the selected folder row
  // of the PSP list (which becomes the target folder to select again after a rescan).
  std::string SubfolderFor(int kind);

  // Which rows of a photo list were tried since its rows were last rebuilt, and the pictures
  // made (kept across rebuilds, by path, size and date).
  struct PictureTries {
    uint64_t generation = ~uint64_t(0);
    bool plainRows = false;
    std::set<std::string> tried;
  };
  bool GiveNextPicture(size_t which, bool plainRows);
  bool GiveNextVideoPicture(size_t which, const ManualResetEvent& stop);

  CManagerDlg& window_;
  std::array<MediaCatalogue, kMediaKinds> pc_;
  MediaCatalogue pspSide_;
  mutable std::mutex textMutex_;  // the open groups and the target folder
  std::array<std::string, kMediaKinds> openGroup_;
  std::string targetFolder_;
  std::vector<uint32_t> rated_;
  // Photo lists: 0 the PC list, 1 the PSP list. The generations count the rebuilds of their rows
  // (any thread); the rest is the background worker's.
  std::array<std::atomic<uint64_t>, 2> photoRowsGeneration_{};
  std::array<PictureTries, 2> pictureTries_;
  // The same for the video lists (PC, stick).
  std::array<std::atomic<uint64_t>, 2> videoRowsGeneration_{};
  std::array<PictureTries, 2> videoTries_;
  std::map<std::string, std::shared_ptr<const std::string>> madePictures_;
};

}  // namespace pspkvx
