#include "ui/ManagerDlg.h"

#include <algorithm>
#include <iterator>
#include <thread>
#include <utility>

#include "base/ProgramEnvironment.h"
#include "base/StringFormat.h"
#include "base/StringTable.h"
#include "media/PhotoListPicture.h"
#include "online/ServiceTags.h"
#include "psp/PspPolling.h"
#include "saves/SaveDiscovery.h"
#include "saves/SaveStick.h"
#include "ui/ConnectionGuide.h"
#include "ui/ContextMenus.h"
#include "ui/ControlIds.h"
#include "ui/MediaPages.h"
#include "ui/OnlinePages.h"
#include "ui/PageTable.h"
#include "ui/SaveListDeletion.h"
#include "ui/SaveListRows.h"
#include "ui/UpdatePages.h"
#include "update/UpgradeFile.h"

namespace pspkvx {
namespace {

using namespace std::chrono_literals;

// The lists a running batch disables (besides the Options button).
constexpr int kListsDisabledWhileBusy[] = {IdPcSavesList,  IdPspSavesList, IdVideoPcList,
                                           IdMusicPcList,  IdMusicPspList, IdPhotoPcList,
                                           IdPhotoPspList, IdOnlineLeft,   IdOnlineRight};

// The list save's parameter for a page's catalogue; 7 saves all three.
constexpr uintptr_t kSaveAllLists = 7;

// Whether the current page shows the PSP saves (its right list is list 1087's rows).
bool ShowsPspSaves(int page) {
  return page == PageSaves || page == PageOnline;
}

void Pause(std::chrono::milliseconds time) {
  std::this_thread::sleep_for(time);
}

}  // namespace

CManagerDlg::CManagerDlg(CManagerApp& app, IManagerView& view)
    : app_(app),
      view_(view),
      pspDrive_(std::make_shared<CPspDrive>(app.Platform(), app.m_config, app.m_nPlatform)),
      stick_(std::make_unique<PspStick>(app.Platform(), *pspDrive_)),
      pspPanel_(*pspDrive_, app.m_config),
      media_(std::make_unique<MediaPages>(*this)) {
  online_ = std::make_unique<OnlinePages>(*this, *savesTree_);
  updates_ = std::make_unique<UpdatePages>(*this, online_->Engine());
  for (const int id : {IdVideoPcList, IdVideoPspList, IdMusicPcList, IdMusicPspList, IdPhotoPcList,
                       IdPhotoPspList, IdPcSavesList, IdPspSavesList, IdOnlineLeft})
    lists_[id];
}

CManagerDlg::~CManagerDlg() {
  closing_ = true;
  // Workers still running now are asked to stop; one that outlives its wait keeps what it
  // shares with the window (the detector, the bridge) alive and finds the window gone.
  for (auto* slot :
       {&listWorker_, &batch_, &onlineWorker_, &videoThumbsWorker_, &pollWorker_, &accountWorker_})
    CThread::StopAndDelete(std::move(*slot), exitBounds_.otherWorkers);
  fetcher_.StopRequestWorker(exitBounds_.fetcher);
  bridge_->Detach();
  updates_.reset();
  online_.reset();
}

void CManagerDlg::AttachWindowThread(WindowBridge::Wake wake) {
  bridge_->Attach(std::move(wake));
}

ListModel& CManagerDlg::List(int listId) {
  if (listId == IdOnlineRight) listId = IdPspSavesList;
  return lists_[listId];
}

// ---- Initialisation ----

void CManagerDlg::Initialize() {
  media_->Register();
  online_->Register();
  updates_->Register();
  AppConfig& config = app_.m_config;
  config.OnlineRegion = 3;
  endpoints_ = LoadServiceEndpoints(app_.m_szProgramFolder);

  view_.SetColumnWidths(IdPcSavesList, std::vector<int>(std::begin(config.FileListColumnWidths),
                                                        std::end(config.FileListColumnWidths)));
  view_.SetColumnWidths(IdPspSavesList, std::vector<int>(std::begin(config.SecondListColumnWidths),
                                                         std::end(config.SecondListColumnWidths)));
  List(IdPspSavesList).SetEmptyText(StringOf(IDS_NO_PSP_DETECTED));

  const Rect stored{config.WindowLeft, config.WindowTop, config.WindowWidth, config.WindowHeight};
  view_.PlaceWindow(PlacementFor(stored, view_.WorkArea()));
  currentPage_ = PageVideo;
  LayOutPage();
  view_.FocusControl(TabOfPage(currentPage_));

  StartWorker(listWorker_, ThreadLoadLists, 0, ThreadPriorityNormal);
  StartWorker(pollWorker_, ThreadPollPsp, 0, ThreadPriorityNormal);

  RemoveUpgradeProgram();

  RegisterServiceTags(tags_);
  fetcher_.StartRequestWorker();

  RefreshStatusArea();
  StartOnlineWorker();
}

void CManagerDlg::RemoveUpgradeProgram() {
  // The upgrade program is left in the program folder by an upgrade that has just completed.
  const std::string upgrade = platform::JoinPath(app_.m_szProgramFolder, kUpgradeProgramName);
  platform::Platform& files = app_.Platform();
  if (app_.m_szProgramFolder.empty() || !files.QueryPath(upgrade)) return;
  files.RemoveFile(upgrade);
  app_.m_bFirstRun = 0;
  SaveConfig(app_.m_config, app_.m_szProgramFolder);
  ShowAbout();
}

// ---- Workers ----

bool CManagerDlg::SlotEmpty(std::unique_ptr<CThread>& slot) {
  if (slot && !slot->IsRunning()) slot.reset();
  return slot == nullptr;
}

bool CManagerDlg::WorkerRunning(int kind) const {
  const std::unique_ptr<CThread>* slot = nullptr;
  switch (kind) {
    case ThreadPollPsp:
      slot = &pollWorker_;
      break;
    case ThreadLoadLists:
    case ThreadSaveLists:
      slot = &listWorker_;
      break;
    case ThreadOnline:
      slot = &onlineWorker_;
      break;
    case ThreadBatch:
      slot = &batch_;
      break;
    case ThreadAccount:
      slot = &accountWorker_;
      break;
    case ThreadVideoThumbs:
      slot = &videoThumbsWorker_;
      break;
    default:
      return false;
  }
  return *slot && (*slot)->IsRunning() && (*slot)->Kind() == kind;
}

void CManagerDlg::StartWorker(std::unique_ptr<CThread>& slot, int kind, uintptr_t parameter,
                              int priority) {
  if (!SlotEmpty(slot)) return;
  // A worker that cannot be created leaves its slot empty; nothing is shown.
  slot = CThread::Start(this, kind, parameter, {}, priority);
}

void CManagerDlg::StartOnlineWorker() {
  if (!SlotEmpty(onlineWorker_)) return;
  // The worker's own copy, taken while no worker reads it: the passes stay as they were when it
  // started, whatever is registered later.
  onlinePasses_ = operations_.backgroundPasses;
  StartWorker(onlineWorker_, ThreadOnline, 0, ThreadPriorityBelowNormal);
}

void CManagerDlg::StartListSave(uintptr_t which) {
  // One slot serves loading and saving, so a save never starts while the lists still load.
  if (closing_ || !SlotEmpty(listWorker_)) return;
  StartWorker(listWorker_, ThreadSaveLists, which, ThreadPriorityNormal);
}

void CManagerDlg::RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t parameter) {
  // What the work needs is copied first: a worker that outlives the exit's bounded wait must
  // not reach into a window that is gone. The bridge answers 0 once the window has left.
  const std::shared_ptr<WindowBridge> bridge = bridge_;
  auto send = [this, bridge](uint32_t message) {
    return bridge->Send([this, message] { return OnWindowMessage(message, 0, 0); });
  };
  const bool haveFolder = !app_.m_szProgramFolder.empty();
  switch (kind) {
    case ThreadPollPsp: {
      const std::shared_ptr<CPspDrive> drive = pspDrive_;
      RunPspPolling(*drive, stop);
      break;
    }
    case ThreadLoadLists: {
      const WindowOperations::Work load = operations_.loadLists;
      if (!haveFolder) break;
      if (load) load(stop);
      const bool complete = !stop.IsSet();
      bridge->Send([this, complete] {
        if (complete) listsLoaded_ = true;
        return OnWindowMessage(WM_LISTS_LOADED, 0, 0);
      });
      break;
    }
    case ThreadSaveLists: {
      const auto save = operations_.saveLists;
      if (haveFolder && save) save(parameter, stop);
      break;
    }
    case ThreadBatch: {
      const int page = batchPage_.load();
      if (page == PageVideo && parameter == 1) {
        const auto convert = operations_.convertVideos;
        if (convert) convert(stop);
      } else {
        const auto batch = operations_.batch[static_cast<size_t>(page)];
        if (batch) batch(parameter, stop);
      }
      send(WM_BATCH_DONE);
      break;
    }
    case ThreadOnline: {
      while (!stop.IsSet()) {
        bool worked = false;
        for (const auto& pass : onlinePasses_)
          worked = pass(stop) || worked;
        if (!worked) stop.WaitFor(std::chrono::milliseconds(250));
      }
      break;
    }
    case ThreadVideoThumbs: {
      const WindowOperations::Work thumbs = operations_.videoThumbs;
      if (thumbs) thumbs(stop);
      break;
    }
    default:  // ThreadAccount has no work
      break;
  }
}

// ---- Messages ----

intptr_t CManagerDlg::SendWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return bridge_->Send([=, this] { return OnWindowMessage(message, wParam, lParam); });
}

intptr_t CManagerDlg::OnWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_BATCH_DONE:
      OnBatchDone();
      return 0;
    case WM_TRANSFER_DONE:
      return OnTransferDone(static_cast<int>(wParam), lParam);
    case WM_TREE_CLICKED:
      RefreshStatusArea();
      view_.RepaintControl(IdOnlineTree);
      return 0;
    case WM_LIST_CLICKED:
      RefreshStatusArea();
      view_.RepaintAll();
      if (lParam != 0 && operations_.showDetails) operations_.showDetails(static_cast<int>(lParam));
      return 0;
    case WM_CHECK_UPDATES:
      OnCheckUpdates(lParam);
      return 0;
    case WM_STATUS_CHANGED:
      view_.RepaintStatusArea();
      return 0;
    default:  // WM_LISTS_LOADED and others: nothing
      return 0;
  }
}

void CManagerDlg::OnBatchDone() {
  // The worker is still inside this message; its object is kept until it has ended.
  batch_.reset();
  ApplyBusy(false);
  progress_ = 0;  // a finished batch leaves no bar behind, whichever item it ended on
  // Videos converted onto the PC are in the list file at once, not only at the exit.
  if (batchPage_.load() == PageVideo && listsChanged_ && listsLoaded_)
    StartListSave(static_cast<uintptr_t>(PageVideo));
  RefreshStatusArea();
  pspDrive_->RefreshFreeSpace();
  if (skipRescan_)
    skipRescan_ = false;
  else
    RescanCurrentPage();
  view_.RepaintAll();
}

intptr_t CManagerDlg::OnTransferDone(int kind, intptr_t buffer) {
  // A failed download (no buffer) installs and writes nothing, whatever its kind.
  if (kind == PendingUpgrade) {
    // A release that cannot be written is refused, so that nothing starts it.
    return buffer != 0 && operations_.writeUpgrade && operations_.writeUpgrade(buffer) ? 1 : 0;
  } else if (kind == PendingSave) {
    if (buffer != 0 && operations_.installDownloadedSave)
      operations_.installDownloadedSave(buffer);
    else if (buffer == 0)
      ShowMessage(*this, StringOf(IDS_SAVE_DOWNLOAD_FAILED));
    RescanCurrentPage();
    RefreshStatusArea();
  } else {
    RescanCurrentPage();
    pspDrive_->RefreshFreeSpace();
  }
  return 1;
}

void CManagerDlg::OnCheckUpdates(intptr_t dontAsk) {
  if (dontAsk == 0 && !AskYesNo(*this, StringOf(IDS_CHECK_UPDATES_QUESTION))) return;
  if (operations_.updateCheck && operations_.updateCheck()) ExitSequence();
}

int CManagerDlg::ShowMessageBox(const MessageBoxRequest& request) {
  if (closing_) return CloseResultForType(request.type);
  return static_cast<int>(bridge_->Send(
      [this, request] { return static_cast<intptr_t>(view_.RunMessageBox(request)); }));
}

std::string CManagerDlg::AskSavePath(const std::string& proposedPath) {
  std::string chosen;
  if (!closing_)
    bridge_->Send([this, &chosen, proposedPath] {
      chosen = view_.RunSaveDialog(proposedPath);
      return 0;
    });
  return chosen;
}

std::string CManagerDlg::AskName(const std::string& prompt, const std::string& initialName) {
  std::string typed;
  if (!closing_)
    bridge_->Send([this, &typed, prompt, initialName] {
      typed = view_.RunNameEntry(prompt, initialName);
      return 0;
    });
  return typed;
}

// ---- Timer ----

void CManagerDlg::OnTimer() {
  if (status_.Tick()) view_.RepaintAll();
  // A modal loop inside the body (a question) must not run the body again.
  if (++timerDepth_ == 1 && !closing_) {
    const PspStatusPanel::TickResult tick = pspPanel_.Tick();
    if (tick.stateChanged) {
      savesNeedRebuild_ = true;
      RescanCurrentPage();
      RefreshStatusArea();
      view_.RepaintAll();
    }
    if (tick.iconChanged) {
      view_.SetFaceIndex(IdPspStatus, pspPanel_.IconConnected() ? 0 : pspPanel_.IconPhase());
      view_.RepaintControl(IdPspStatus);
    }
    if (startupTicks_ < 2) {
      view_.NudgeSize(startupTicks_ == 0 ? 2 : -2);
      ++startupTicks_;
      view_.RepaintAll();
    }
    if (app_.m_bFirstRun) {
      app_.m_bFirstRun = 0;
      SendWindowMessage(WM_CHECK_UPDATES, 0, 0);
    }
  }
  --timerDepth_;
}

// ---- Pages ----

void CManagerDlg::SwitchToPage(int page) {
  if (page == currentPage_ || page < 0 || page >= kPageCount || IsBusy() || closing_) return;
  CaptureWindowState();
  currentPage_ = page;
  if (ShowsPspSaves(page)) savesNeedRebuild_ = true;
  LayOutPage();
  RescanCurrentPage();
  RefreshStatusArea();
  view_.FocusControl(TabOfPage(page));
  if (operations_.pageEntered) operations_.pageEntered(page);
  if (page != PageMusic && page != PagePhoto) StartOnlineWorker();
  view_.RepaintAll();
}

void CManagerDlg::LayOutPage() {
  const PageControls& shown = ControlsOfPage(currentPage_);
  for (const int id : PageSwitchedControls()) {
    const bool onPage =
        id == shown.pcList || id == shown.pspList ||
        std::find(shown.buttons.begin(), shown.buttons.end(), id) != shown.buttons.end();
    view_.ShowControl(id, onPage);
  }
  for (int page = 0; page < kPageCount; ++page)
    view_.SetFaceIndex(TabOfPage(page), page == currentPage_ ? 1 : 0);
  const AppConfig& config = app_.m_config;
  if (currentPage_ == PagePhoto) {
    for (int mode = 0; mode < 4; ++mode)
      view_.SetFaceIndex(kPhotoModeButtons[mode], config.PhotoCopyMode == mode ? 1 : 0);
  } else if (currentPage_ == PageVideo) {
    const int quality = static_cast<int>(config.VideoOptions & VideoQualityMask);
    for (int step = 0; step < 6; ++step)
      view_.SetFaceIndex(kQualityButtons[step], quality == step ? 1 : 0);
    const bool wide = (config.VideoOptions & VideoWideScreen) != 0;
    const bool avc = (config.VideoOptions & VideoAvc) != 0;
    view_.SetFaceIndex(IdWideScreen, wide ? 1 : 0);
    view_.SetFaceIndex(IdNormalScreen, wide ? 0 : 1);
    view_.SetFaceIndex(IdNormalMpeg4, avc ? 0 : 1);
    view_.SetFaceIndex(IdAvc, avc ? 1 : 0);
  }
  view_.ShowControl(IdCancel, IsBusy());
  // The photo lists' pictures: small on plain rows.
  const ListPictureSize pictures =
      PhotoListPictureSize((config.ListViewToggles & kPlainPhotoRowsBit) != 0);
  for (const int id : {IdPhotoPcList, IdPhotoPspList})
    view_.SetListPictureSize(id, static_cast<int>(pictures.width),
                             static_cast<int>(pictures.height));
  // The video lists show their thumbnails unless they show plain rows.
  const ListPictureSize thumbnails = PhotoListPictureSize(false);
  for (const auto& [id, plainBit] :
       {std::pair{IdVideoPcList, 0x2u}, std::pair{IdVideoPspList, 0x4u}}) {
    const bool plain = (config.ListViewToggles & plainBit) != 0;
    view_.SetListPictureSize(id, plain ? 0 : static_cast<int>(thumbnails.width),
                             plain ? 0 : static_cast<int>(thumbnails.height));
  }
}

void CManagerDlg::RescanCurrentPage() {
  if (ShowsPspSaves(currentPage_)) {
    savesNeedRebuild_ = true;
    FillSaveList(app_.Platform(), *pspDrive_, ScanSaves(app_.Platform(), *pspDrive_),
                 List(IdPspSavesList), savesNeedRebuild_);
  } else if (operations_.scanPspSide) {
    operations_.scanPspSide(currentPage_);
  }
  view_.RepaintControl(ControlsOfPage(currentPage_).pspList);
}

bool CManagerDlg::HasOperation(int control) const {
  const WindowOperations& ops = operations_;
  switch (control) {
    case IdTransfer:
      if (currentPage_ == PageSaves) return static_cast<bool>(ops.treeDownload);
      return static_cast<bool>(ops.batch[static_cast<size_t>(currentPage_)]);
    case IdConvert:
      return static_cast<bool>(ops.convertVideos);
    case IdAddFiles:
      return static_cast<bool>(ops.addFiles);
    case IdRemove:
      return currentPage_ == PageOnline ? static_cast<bool>(ops.onlineBack)
                                        : static_cast<bool>(ops.removeFromPcList);
    case IdBackupSaves:
      return static_cast<bool>(ops.backUpSaves);
    case IdInstallFromFile:
      return static_cast<bool>(ops.installFromFile);
    case IdDeleteFromPsp:
      return currentPage_ == PageSaves || currentPage_ == PageOnline ||
             static_cast<bool>(ops.deleteOnStick);
    case IdNewGroupFolder:
      return static_cast<bool>(ops.newGroupFolder);
    case IdUpALevel:
      return static_cast<bool>(ops.upALevel);
    default:  // the video choices among them: the window itself handles them
      return true;
  }
}

void CManagerDlg::RefreshStatusArea() {
  const bool busy = IsBusy();
  // A control whose operation is not there yet stays greyed, so that it promises nothing.
  for (const int id : {IdTransfer, IdConvert, IdAddFiles, IdRemove, IdNewGroupFolder, IdUpALevel,
                       IdWideScreen, IdNormalScreen, IdNormalMpeg4, IdAvc})
    view_.EnableControl(id, !busy && HasOperation(id));
  // Convert has something to do only for a selected video that is not an MP4 already.
  if (HasOperation(IdConvert)) {
    const ListModel& videos = List(IdVideoPcList);
    bool convertible = false;
    for (auto row = videos.NextSelected(0); row && !convertible;
         row = videos.NextSelected(*row + 1))
      convertible = LowerExtension(videos.Text(*row, MediaColumnPath)) != "mp4";
    view_.EnableControl(IdConvert, !busy && convertible);
  }
  view_.EnableControl(IdDeleteFromPsp,
                      pspPanel_.PspCommandsEnabled(busy) && HasOperation(IdDeleteFromPsp));
  view_.RepaintStatusArea();
}

void CManagerDlg::ApplyBusy(bool busy) {
  view_.EnableControl(IdOptions, !busy);
  for (const int id : kListsDisabledWhileBusy)
    view_.EnableControl(id, !busy);
  for (const int step : kQualityButtons)
    view_.EnableControl(step, !busy);
  for (int page = 0; page < kPageCount; ++page)
    view_.EnableControl(TabOfPage(page), !busy);
  view_.ShowControl(IdCancel, busy);
  view_.EnableControl(IdCancel, busy);
}

void CManagerDlg::CaptureWindowState() {
  AppConfig& config = app_.m_config;
  const auto copyWidths = [&](int listId, int32_t(&widths)[5]) {
    const std::vector<int> shown = view_.ColumnWidths(listId);
    for (size_t i = 0; i < 5 && i < shown.size(); ++i)
      widths[i] = shown[i];
  };
  copyWidths(IdPcSavesList, config.FileListColumnWidths);
  copyWidths(IdPspSavesList, config.SecondListColumnWidths);
  const Rect rect = view_.WindowRect();
  config.WindowLeft = rect.left;
  config.WindowTop = rect.top;
  config.WindowWidth = rect.width;
  config.WindowHeight = rect.height;
}

// ---- Commands ----

void CManagerDlg::StartBatch(uintptr_t parameter, int priority) {
  batchPage_ = currentPage_.load();
  ApplyBusy(true);
  batch_ = CThread::Start(this, ThreadBatch, parameter, {}, priority);
  if (!batch_) ApplyBusy(false);
  RefreshStatusArea();
}

void CManagerDlg::OnCommand(int control) {
  if (closing_ && control != IdExit) return;
  const int tabPage = PageOfTab(control);
  if (tabPage >= 0) {
    SwitchToPage(tabPage);
    return;
  }
  const bool mediaPage =
      currentPage_ == PageVideo || currentPage_ == PageMusic || currentPage_ == PagePhoto;
  const bool groupPage = currentPage_ == PageMusic || currentPage_ == PagePhoto;
  switch (control) {
    case IdTransfer:
      if (IsBusy() || !pspDrive_->IsReady()) break;
      if (currentPage_ == PageSaves) {
        if (operations_.treeDownload) operations_.treeDownload();
        RefreshStatusArea();
      } else if (operations_.batch[currentPage_]) {
        StartBatch(0, ThreadPriorityHighest);
      }
      break;
    case IdBackupSaves:
      if (!IsBusy() && currentPage_ == PageSaves && operations_.backUpSaves)
        operations_.backUpSaves();
      break;
    case IdInstallFromFile:
      if (!IsBusy() && currentPage_ == PageSaves && operations_.installFromFile) {
        operations_.installFromFile();
        RefreshStatusArea();
        view_.RepaintAll();
      }
      break;
    case IdConvert:
      if (!IsBusy() && currentPage_ == PageVideo && operations_.convertVideos)
        StartBatch(1, ThreadPriorityNormal);
      break;
    case IdRemove:
      if (IsBusy()) break;
      if (mediaPage && operations_.removeFromPcList) {
        operations_.removeFromPcList(currentPage_);
        view_.RepaintControl(ControlsOfPage(currentPage_).pcList);
      } else if (currentPage_ == PageOnline && operations_.onlineBack) {
        operations_.onlineBack();
      }
      break;
    case IdSelectAllPc:
      SelectAllToggle(ControlsOfPage(currentPage_).pcList);
      break;
    case IdSelectAllPsp:
      SelectAllToggle(ControlsOfPage(currentPage_).pspList);
      break;
    case IdCancel:
      if (batch_) batch_->RequestStop();
      status_.Set(StringOf(IDS_CANCELLED));
      view_.RepaintAll();
      break;
    case IdAddFiles:
      if (!IsBusy() && mediaPage && operations_.addFiles) {
        const std::string folder =
            operations_.addFilesFolder ? operations_.addFilesFolder(currentPage_) : "";
        const std::vector<std::string> files = view_.ChooseFiles(folder);
        if (files.empty()) break;
        operations_.addFiles(currentPage_, files);
        MarkListsChanged();
        view_.RepaintControl(ControlsOfPage(currentPage_).pcList);
        RefreshStatusArea();  // the new rows come selected
        StartListSave(static_cast<uintptr_t>(currentPage_));
      }
      break;
    case IdOptions:
      if (!IsBusy()) OnOptions();
      break;
    case IdQuality0:
    case IdQuality1:
    case IdQuality2:
    case IdQuality3:
    case IdQuality4:
    case IdQuality5:
      OnQualityButton(control);
      break;
    case IdWideScreen:
    case IdNormalScreen:
    case IdNormalMpeg4:
    case IdAvc:
      OnVideoChoice(control);
      break;
    case IdLeftListStyle:
    case IdRightListStyle: {
      // The display style bit of each page's list.
      static constexpr uint32_t kLeft[kPageCount] = {0x04, 0x10, 0x20, 0, 0};
      static constexpr uint32_t kRight[kPageCount] = {0x02, 0x08, 0x40, 0, 0};
      const uint32_t bit =
          (control == IdLeftListStyle ? kLeft : kRight)[static_cast<size_t>(currentPage_)];
      if (bit == 0) break;
      // The background worker reads the toggles for the photo lists' pictures.
      std::atomic_ref<uint32_t>(app_.m_config.ListViewToggles).fetch_xor(bit);
      LayOutPage();
      view_.RepaintAll();
      break;
    }
    case IdUpALevel:
      if (!IsBusy() && groupPage && operations_.upALevel) {
        operations_.upALevel(currentPage_);
        view_.RepaintControl(ControlsOfPage(currentPage_).pspList);
      }
      break;
    case IdExit:
      ExitSequence();
      break;
    case IdMinimize:
      view_.Minimize();
      break;
    case IdMaximize:
      view_.MaximizeOrRestore();
      break;
    case IdAbout:
      ShowAbout();
      break;
    case IdPspStatus:
      OnPspHelp();
      break;
    case IdDeleteFromPsp:
      DeleteFromPsp();
      break;
    case IdNewGroupFolder:
      if (!IsBusy() && groupPage && operations_.newGroupFolder) {
        operations_.newGroupFolder(currentPage_);
        view_.RepaintControl(ControlsOfPage(currentPage_).pspList);
      }
      break;
    default:  // 1012 "Tray", 1024, 1088 and the rest: nothing
      break;
  }
}

void CManagerDlg::SelectAllToggle(int listId) {
  ListModel& list = List(listId);
  if (list.RowCount() > 0 && list.SelectedCount() == list.RowCount())
    list.ClearSelection();
  else
    list.SelectAll();
  view_.RepaintControl(listId);
}

void CManagerDlg::DeleteFromPsp() {
  if (IsBusy() || !pspDrive_->IsReady()) return;
  const SaveStick stick{app_.Platform(), *pspDrive_, *stick_, *this};
  ListModel& saves = List(IdPspSavesList);
  if (currentPage_ == PageSaves) {
    bool any = false;
    for (auto index = saves.NextSelected(0); index; index = saves.NextSelected(*index + 1)) {
      DeleteSaveWithQuestion(stick, saves, *index);
      any = true;
    }
    if (!any) return;
  } else if (currentPage_ == PageOnline) {
    if (!DeleteSelectedSaves(stick, saves)) return;
  } else if (operations_.deleteOnStick) {
    operations_.deleteOnStick(currentPage_);
  } else {
    return;
  }
  pspDrive_->RefreshFreeSpace();
  RescanCurrentPage();
  RefreshStatusArea();
  view_.RepaintAll();
}

void CManagerDlg::OnVideoChoice(int control) {
  // The options word does not change under a running batch, which read it when it started.
  if (IsBusy()) return;
  AppConfig& config = app_.m_config;
  const uint32_t before = config.VideoOptions;
  switch (control) {
    case IdWideScreen:
      config.VideoOptions |= VideoWideScreen;
      break;
    case IdNormalScreen:
      config.VideoOptions &= ~VideoWideScreen;
      break;
    case IdNormalMpeg4:
      if (config.VideoOptions & VideoAvc)
        config.VideoOptions = (config.VideoOptions & ~VideoAvc) | VideoAvcNoticeShown;
      break;
    case IdAvc:
      if (config.VideoOptions & VideoAvc) break;
      config.VideoOptions |= VideoAvc;
      LayOutPage();
      view_.RepaintControl(control);
      if (!(config.VideoOptions & VideoAvcNoticeShown)) {
        // Older PSPs do not play AVC videos; the notice comes once.
        MessageBoxRequest request;
        request.text = StringOf(IDS_AVC_NOTICE);
        request.type = MbAbout;
        request.labels = {IDS_OK, IDS_MORE_INFO, 0, 0};
        if (ShowMessage(*this, request) == ResultCancel) {
          const std::string help =
              platform::JoinPath(app_.m_szProgramFolder, "PSP AVC Encoding.mht");
          if (!view_.OpenDocument(help)) ShowMessage(*this, StringOf(IDS_BROWSER_FAILED) + help);
        }
        config.VideoOptions |= VideoAvcNoticeShown;
        SaveConfig(config, app_.m_szProgramFolder);
      }
      break;
    default:
      return;
  }
  if (config.VideoOptions == before) return;
  LayOutPage();
  view_.RepaintControl(control);
}

void CManagerDlg::OnQualityButton(int control) {
  if (IsBusy()) return;
  AppConfig& config = app_.m_config;
  if (currentPage_ == PagePhoto) {
    for (int mode = 0; mode < 4; ++mode)
      if (kPhotoModeButtons[mode] == control) config.PhotoCopyMode = mode;
  } else if (currentPage_ == PageVideo) {
    for (uint32_t step = 0; step < 6; ++step)
      if (kQualityButtons[step] == control)
        config.VideoOptions = (config.VideoOptions & ~VideoQualityMask) | step;
  } else {
    return;
  }
  LayOutPage();
  view_.RepaintControl(control);
}

void CManagerDlg::OnOptions() {
  if (++optionsDepth_ != 1) {
    --optionsDepth_;
    return;
  }
  AppConfig& config = app_.m_config;
  const std::string user = FieldText(config.OnlineUserName);
  const std::string password = FieldText(config.OnlinePassword);
  const int32_t region = config.OnlineRegion;

  const OptionsOutcome outcome = view_.RunOptions(config, app_.m_szProgramFolder);
  CaptureWindowState();
  if (currentPage_ == PageOnline && config.OnlineRegion != region && operations_.onlineRefresh)
    operations_.onlineRefresh();
  if (FieldText(config.OnlineUserName) != user || FieldText(config.OnlinePassword) != password)
    StartWorker(accountWorker_, ThreadAccount, 0, ThreadPriorityHighest);
  LayOutPage();
  RescanCurrentPage();
  RefreshStatusArea();
  view_.RepaintAll();
  pspDrive_->RefreshFreeSpace();
  SaveConfig(config, app_.m_szProgramFolder);
  std::string version;
  if (tags_.LookupTag(kSettingsKeys[SettingVersionUrl], version) && !version.empty() &&
      operations_.versionNotice)
    operations_.versionNotice();
  --optionsDepth_;
  // The update check runs once the dialog has closed, never inside it.
  if (outcome == OptionsOutcome::CheckForUpdates) SendWindowMessage(WM_CHECK_UPDATES, 0, 1);
}

void CManagerDlg::ShowAbout() {
  MessageBoxRequest request;
  request.text = FormatString(IDS_ABOUT_TEXT, {ProgramVersion() / 100.0});
  request.type = MbAbout;
  request.labels = {IDS_OK, 0, 0, 0};
  if (ShowMessage(*this, request) != ResultCancel) return;
  if (!view_.OpenDocument(endpoints_.supportAddress))
    ShowMessage(*this, StringOf(IDS_BROWSER_FAILED) + endpoints_.supportAddress);
}

void CManagerDlg::OnPspHelp() {
  switch (pspPanel_.PressHelp()) {
    case PspStatusPanel::HelpShowGuide:
      view_.RunInfo(PspConnectionGuide());
      break;
    case PspStatusPanel::HelpShowDevicePaths:
      pspDrive_->ShowUsbDevicePaths(*this);
      ShowMessage(*this, app_.m_szProgramFolder);
      break;
    case PspStatusPanel::HelpNothing:
      break;
  }
}

// ---- Keys, mouse, menus, files ----

bool CManagerDlg::OnKey(int virtualKey) {
  if (currentPage_ != PageOnline) return false;
  if (virtualKey == kVirtualKeyF5) {
    if (operations_.onlineRefresh) operations_.onlineRefresh();
    return true;
  }
  if (virtualKey == kVirtualKeyDelete) {
    if (!IsBusy() && operations_.onlineDeleteKey) operations_.onlineDeleteKey();
    return true;
  }
  return false;
}

void CManagerDlg::OnCaptionDoubleClick(int x, int y, const Rect& caption) {
  switch (CaptionDoubleClickAction(x, y, caption)) {
    case CaptionAction::Exit:
      ExitSequence();
      break;
    case CaptionAction::About:
      ShowAbout();
      break;
    case CaptionAction::MaximizeOrRestore:
      view_.MaximizeOrRestore();
      break;
    case CaptionAction::None:
      break;
  }
}

void CManagerDlg::OnContextMenu(int listId, int row) {
  const int page = listId == IdMusicPspList ? PageMusic : listId == IdPhotoPspList ? PagePhoto : -1;
  // The menus act on group folders; without that feature there is nothing to offer.
  if (page != currentPage_ || IsBusy() || !operations_.groupMenuCommand) return;
  // A right click on a row outside the selection makes that row the selection, as on the
  // desktop: the menu's Delete and Rename then act on the row under the pointer.
  if (row >= 0) {
    ListModel& list = List(listId);
    if (const auto clicked = list.Row(static_cast<size_t>(row)); clicked && !clicked->selected) {
      list.Edit([row](std::vector<ListRow>& rows) {
        for (size_t i = 0; i < rows.size(); ++i)
          rows[i].selected = i == static_cast<size_t>(row);
      });
      view_.RepaintControl(listId);
    }
  }
  const bool inside = operations_.insideGroupFolder && operations_.insideGroupFolder(page);
  const bool group =
      row >= 0 && operations_.rowIsGroupFolder && operations_.rowIsGroupFolder(page, row);
  const int command = view_.RunContextMenu(ContextMenuFor(row >= 0, group, inside));
  switch (command) {
    case MenuDelete:
      OnCommand(IdDeleteFromPsp);
      break;
    case MenuNewGroupFolder:
      OnCommand(IdNewGroupFolder);
      break;
    case MenuUpALevel:
      OnCommand(IdUpALevel);
      break;
    case MenuOpen:
    case MenuRename:
      operations_.groupMenuCommand(page, command, row);
      view_.RepaintControl(listId);
      break;
    default:
      break;
  }
}

void CManagerDlg::OnListDoubleClicked(int listId, int row) {
  // A group folder of the music or photo PSP list opens.
  const int page = listId == IdMusicPspList ? PageMusic : listId == IdPhotoPspList ? PagePhoto : -1;
  if (page != currentPage_ || IsBusy() || row < 0 || !operations_.groupMenuCommand ||
      !operations_.rowIsGroupFolder || !operations_.rowIsGroupFolder(page, row))
    return;
  operations_.groupMenuCommand(page, MenuOpen, row);
  view_.RepaintControl(listId);
}

void CManagerDlg::OnListPressed(int listId) {
  OnWindowMessage(WM_LIST_CLICKED, 0, listId);
}

void CManagerDlg::OnTreePressed() {
  OnWindowMessage(WM_TREE_CLICKED, 0, 0);
}

void CManagerDlg::OnListRowPressed(int listId, int row) {
  if (listId == IdOnlineLeft && currentPage_ == PageOnline && operations_.onlineRowPressed)
    operations_.onlineRowPressed(row);
}

void CManagerDlg::OnExtraMouseButton() {
  if (currentPage_ == PageOnline && operations_.onlineBack) operations_.onlineBack();
}

void CManagerDlg::OnTreeExpanded(int64_t node, bool expanded) {
  if (operations_.treeExpanded) operations_.treeExpanded(node, expanded);
}

void CManagerDlg::OnTreeContextMenu(int64_t node) {
  if (node < 0 || !operations_.treeMenuFor || !operations_.treeMenuFor(node)) return;
  const int command = view_.RunContextMenu(MenuTreeFolder);
  if (command != 0 && operations_.treeMenuCommand) operations_.treeMenuCommand(command, node);
}

void CManagerDlg::EnableCancel(bool enabled) {
  bridge_->Send([this, enabled] {
    view_.EnableControl(IdCancel, enabled && IsBusy());
    return 0;
  });
}

void CManagerDlg::OnFilesDropped(int listId, const std::string& path, bool moreFollow) {
  const int page = currentPage_;
  if (IsBusy() || closing_ || ControlsOfPage(page).pcList != listId || !operations_.addFiles)
    return;
  // The files of one drop are added together, so that all of them come selected.
  droppedFiles_.push_back(path);
  if (moreFollow) return;
  operations_.addFiles(page, std::exchange(droppedFiles_, {}));
  MarkListsChanged();
  view_.RepaintControl(listId);
  RefreshStatusArea();
  StartListSave(static_cast<uintptr_t>(page));
}

// ---- Exit ----

void CManagerDlg::ExitSequence() {
  if (closing_.exchange(true)) return;
  view_.SetFaceIndex(IdExit, 3);
  status_.Set(StringOf(IDS_CLOSING));
  view_.RepaintStatusArea();
  view_.RepaintAll();

  // A list worker that still runs ends first: a save runs to its end, a load is stopped.
  if (!SlotEmpty(listWorker_)) {
    if (listWorker_->Kind() == ThreadLoadLists) {
      Pause(50ms);
      listWorker_->RequestStop();
    }
    CThread::WaitAndDelete(std::move(listWorker_), exitBounds_.listWorker);
  }
  // Then the last save of every list, run to its end (bounded) and never stopped by its own
  // request; not after a load that was cut short, whose lists would lack what it had not read.
  if (listsChanged_ && listsLoaded_) {
    listWorker_ = CThread::Start(this, ThreadSaveLists, kSaveAllLists, {}, ThreadPriorityNormal);
    CThread::WaitAndDelete(std::move(listWorker_), exitBounds_.finalListSave);
  }
  if (onlineWorker_) {
    Pause(50ms);
    onlineWorker_->RequestStop();
  }
  if (batch_) {
    Pause(110ms);
    batch_->RequestStop();
  }
  // A copy to the stick in progress is waited for (bounded), not cut off.
  CThread::StopAndDelete(std::move(batch_), exitBounds_.batch);
  CThread::WaitAndDelete(std::move(accountWorker_), exitBounds_.accountWorker);
  fetcher_.StopRequestWorker(exitBounds_.fetcher);
  CThread::StopAndDelete(std::move(onlineWorker_), exitBounds_.otherWorkers);
  CThread::StopAndDelete(std::move(pollWorker_), exitBounds_.otherWorkers);
  CThread::StopAndDelete(std::move(videoThumbsWorker_), exitBounds_.otherWorkers);
  CaptureWindowState();
  view_.EndWindow(ResultOk);
}

}  // namespace pspkvx
