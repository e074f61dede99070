#include "ui/WindowPlaces.h"

#include "ui/ControlIds.h"
#include "ui/Pages.h"

namespace pspkvx {
namespace {

struct Place {
  int id;
  int x, y, width, height;
};

// The columns: the left list 10..280, the centre column 290..450, the right list 460..730.
constexpr int kLeftX = 10;
constexpr int kCentreX = 290;
constexpr int kCentreWidth = 160;
constexpr int kRightX = 460;
constexpr int kListWidth = 270;
constexpr int kListTop = 124;
constexpr int kListHeight = 286;
constexpr int kUnderListsY = 416;
constexpr int kStep = 22;  // the centre column's steps and choices, one under the other
constexpr int kStepHeight = 20;

const Place kPlaces[] = {
    // The caption band (the top 31 pixels), right to left from the outline's corner.
    {IdExit, 686, 5, 44, 21},
    {IdMaximize, 652, 5, 30, 21},
    {IdMinimize, 618, 5, 30, 21},
    {IdTray, 568, 5, 46, 21},
    {IdAbout, 518, 5, 46, 21},
    // The tabs.
    {IdTabVideo, 10, 36, 82, 26},
    {IdTabMusic, 96, 36, 82, 26},
    {IdTabPhoto, 182, 36, 82, 26},
    {IdTabSaves, 268, 36, 104, 26},
    {IdTabOnline, 376, 36, 112, 26},
    // The PSP row: its state in words, the status button centred above the centre column.
    {IdStatusText, kLeftX, 66, kListWidth, 26},
    {IdPspStatus, 338, 65, 64, 28},
    // Above the lists.
    {IdAddFiles, kLeftX, 97, 84, 22},
    {IdLeftListStyle, 230, 97, 50, 22},
    {IdUpALevel, 600, 97, 76, 22},
    {IdRightListStyle, 680, 97, 50, 22},
    // The lists: every page's pair shares the two places.
    {IdVideoPcList, kLeftX, kListTop, kListWidth, kListHeight},
    {IdMusicPcList, kLeftX, kListTop, kListWidth, kListHeight},
    {IdPhotoPcList, kLeftX, kListTop, kListWidth, kListHeight},
    {IdPcSavesList, kLeftX, kListTop, kListWidth, kListHeight},
    {IdOnlineTree, kLeftX, kListTop, kListWidth, kListHeight},
    {IdOnlineLeft, kLeftX, kListTop, kListWidth, kListHeight},
    {IdVideoPspList, kRightX, kListTop, kListWidth, kListHeight},
    {IdMusicPspList, kRightX, kListTop, kListWidth, kListHeight},
    {IdPhotoPspList, kRightX, kListTop, kListWidth, kListHeight},
    {IdPspSavesList, kRightX, kListTop, kListWidth, kListHeight},
    {IdOnlineRight, kRightX, kListTop, kListWidth, kListHeight},
    // The centre column: the transfer, the six quality steps (or the photo modes), the four
    // video choices, Options at the foot.
    {IdTransfer, kCentreX, kListTop, kCentreWidth, 28},
    {IdBackupSaves, kCentreX, 162, kCentreWidth, 24},
    {IdInstallFromFile, kCentreX, 190, kCentreWidth, 24},
    {IdQuality0, kCentreX, 162, kCentreWidth, kStepHeight},
    {IdQuality1, kCentreX, 162 + kStep, kCentreWidth, kStepHeight},
    {IdQuality2, kCentreX, 162 + 2 * kStep, kCentreWidth, kStepHeight},
    {IdQuality3, kCentreX, 162 + 3 * kStep, kCentreWidth, kStepHeight},
    {IdQuality4, kCentreX, 162 + 4 * kStep, kCentreWidth, kStepHeight},
    {IdQuality5, kCentreX, 162 + 5 * kStep, kCentreWidth, kStepHeight},
    {IdWideScreen, kCentreX, 298, kCentreWidth, kStepHeight},
    {IdNormalScreen, kCentreX, 298 + kStep, kCentreWidth, kStepHeight},
    {IdNormalMpeg4, kCentreX, 298 + 2 * kStep, kCentreWidth, kStepHeight},
    {IdAvc, kCentreX, 298 + 3 * kStep, kCentreWidth, kStepHeight},
    {IdOptions, kCentreX, 388, kCentreWidth, 22},
    // Under the lists.
    {IdRemove, kLeftX, kUnderListsY, 74, 24},
    {IdSelectAllPc, 88, kUnderListsY, 80, 24},
    {IdConvert, 172, kUnderListsY, 80, 24},
    {IdDeleteFromPsp, kRightX, kUnderListsY, 112, 24},
    {IdSelectAllPsp, 576, kUnderListsY, 70, 24},
    {IdNewGroupFolder, 650, kUnderListsY, 80, 24},
    {IdCancel, kLeftX, 446, 80, 22},
    {IdFreeSpaceText, kRightX, 446, 160, 18},
    {IdFreeSpaceBar, 624, 449, 106, 12},
    // The progress over the whole width, the status line in the bottom band (clear of the grip).
    {IdProgressBar, kLeftX, 472, 720, 10},
    {IdStatusLine, 14, 494, 660, 22},
};

// The photo page's modes: three lines of label each, from the first quality step down.
constexpr int kPhotoModeTop = 162;
constexpr int kPhotoModeHeight = 48;
constexpr int kPhotoModeStep = 54;

}  // namespace

SkinRect PagePlace(int page, int id, const SkinRect& laidOut) {
  if (page != PagePhoto) return laidOut;
  for (int mode = 0; mode < 4; ++mode) {
    if (kPhotoModeButtons[mode] != id) continue;
    const SkinRect& base = MainWindowPlaces().at(id);
    const int top = kPhotoModeTop + mode * kPhotoModeStep + laidOut.top - base.top;
    return {laidOut.left, top, laidOut.right, top + kPhotoModeHeight};
  }
  return laidOut;
}

const std::map<int, SkinRect>& MainWindowPlaces() {
  static const std::map<int, SkinRect> places = [] {
    std::map<int, SkinRect> map;
    for (const Place& place : kPlaces)
      map[place.id] = {place.x, place.y, place.x + place.width, place.y + place.height};
    return map;
  }();
  return places;
}

}  // namespace pspkvx
