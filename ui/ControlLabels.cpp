#include "ui/ControlLabels.h"

#include "base/StringTable.h"
#include "ui/ControlIds.h"
#include "ui/Pages.h"

namespace pspkvx {

std::string ControlLabel(int control, int page) {
  switch (control) {
    case IdTabVideo:
      return PageCaption(PageVideo);
    case IdTabMusic:
      return PageCaption(PageMusic);
    case IdTabPhoto:
      return PageCaption(PagePhoto);
    case IdTabSaves:
      return PageCaption(PageSaves);
    case IdTabOnline:
      return PageCaption(PageOnline);
    case IdExit:
      return "Exit";
    case IdMaximize:
      return "M";
    case IdMinimize:
      return "_";
    case IdAbout:
      return "Help";
    case IdTray:
      return "Tray";
    case IdTransfer:
      switch (page) {
        case PageVideo:
          return "Convert to PSP";
        case PageSaves:
        case PageOnline:
          return "Install on PSP";
        default:
          return "Copy to PSP";
      }
    case IdConvert:
      return "Convert";
    case IdOptions:
      return "Options";
    case IdAddFiles:
      return "Add Files";
    case IdRemove:
      return page == PageOnline ? "Back" : "Remove";
    case IdBackupSaves:
      return "Back up to PC...";
    case IdInstallFromFile:
      return "Install from file...";
    case IdSelectAllPc:
    case IdSelectAllPsp:
      return "Select All";
    case IdDeleteFromPsp:
      return StringOf(IDS_DELETE_FROM_PSP);
    case IdCancel:
      return "Cancel";
    case IdNewGroupFolder:
      return "New Group";
    case IdUpALevel:
      return "Up a level";
    case IdLeftListStyle:
    case IdRightListStyle:
      return "View";
    case IdWideScreen:
      return StringOf(IDS_WIDE_SCREEN);
    case IdNormalScreen:
      return StringOf(IDS_NORMAL_SCREEN);
    case IdNormalMpeg4:
      return StringOf(IDS_NORMAL_MPEG4);
    case IdAvc:
      return StringOf(IDS_AVC);
    default:
      break;
  }
  if (page == PagePhoto) {
    static constexpr int kModes[4] = {IDS_PHOTO_STRAIGHT_COPY, IDS_PHOTO_RESCALE, IDS_PHOTO_STRETCH,
                                      IDS_PHOTO_CLIP};
    for (int mode = 0; mode < 4; ++mode)
      if (kPhotoModeButtons[mode] == control) return StringOf(kModes[mode]);
  }
  static constexpr int kQualities[6] = {IDS_QUALITY_VERY_LOW,  IDS_QUALITY_LOW,
                                        IDS_QUALITY_MEDIUM,    IDS_QUALITY_HIGH,
                                        IDS_QUALITY_VERY_HIGH, IDS_QUALITY_MAXIMUM};
  for (int step = 0; step < 6; ++step)
    if (kQualityButtons[step] == control) return StringOf(kQualities[step]);
  return "";
}

}  // namespace pspkvx
