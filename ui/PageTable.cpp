#include "ui/PageTable.h"

#include <algorithm>

#include "ui/ControlIds.h"

namespace pspkvx {
namespace {

const PageControls kPages[kPageCount] = {
    {IdVideoPcList,
     IdVideoPspList,
     {IdAddFiles, IdRemove, IdSelectAllPc, IdSelectAllPsp, IdConvert, IdDeleteFromPsp, IdTransfer,
      IdRightListStyle, IdLeftListStyle, IdQuality0, IdQuality1, IdQuality2, IdQuality3, IdQuality4,
      IdQuality5, IdWideScreen, IdNormalScreen, IdNormalMpeg4, IdAvc}},
    {IdMusicPcList,
     IdMusicPspList,
     {IdAddFiles, IdRemove, IdSelectAllPc, IdSelectAllPsp, IdDeleteFromPsp, IdTransfer,
      IdNewGroupFolder, IdRightListStyle, IdUpALevel, IdLeftListStyle}},
    {IdPhotoPcList,
     IdPhotoPspList,
     {IdAddFiles, IdRemove, IdSelectAllPc, IdSelectAllPsp, IdDeleteFromPsp, IdTransfer,
      IdNewGroupFolder, IdRightListStyle, IdUpALevel, IdLeftListStyle, IdQuality1, IdQuality2,
      IdQuality3, IdQuality4}},
    {IdOnlineTree,
     IdPspSavesList,
     {IdSelectAllPsp, IdDeleteFromPsp, IdTransfer, IdBackupSaves, IdInstallFromFile}},
    {IdOnlineLeft, IdOnlineRight, {IdRemove, IdSelectAllPsp, IdDeleteFromPsp, IdTransfer}},
};

constexpr int kTabs[kPageCount] = {IdTabVideo, IdTabMusic, IdTabPhoto, IdTabSaves, IdTabOnline};

}  // namespace

const PageControls& ControlsOfPage(int page) {
  return kPages[page >= 0 && page < kPageCount ? page : PageVideo];
}

const std::vector<int>& PageSwitchedControls() {
  static const std::vector<int> all = [] {
    std::vector<int> ids = {IdPcSavesList};
    for (const PageControls& page : kPages) {
      ids.push_back(page.pcList);
      ids.push_back(page.pspList);
      ids.insert(ids.end(), page.buttons.begin(), page.buttons.end());
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
  }();
  return all;
}

int TabOfPage(int page) {
  return page >= 0 && page < kPageCount ? kTabs[page] : -1;
}

int PageOfTab(int control) {
  for (int page = 0; page < kPageCount; ++page)
    if (kTabs[page] == control) return page;
  return -1;
}

}  // namespace pspkvx
