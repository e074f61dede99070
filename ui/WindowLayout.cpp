#include "ui/WindowLayout.h"

#include <initializer_list>

#include "ui/ControlIds.h"

namespace pspkvx {
namespace {

struct RuleGroup {
  int mode;
  int divisor;
  std::initializer_list<int> controls;
};

// The scroll bars of the lists have no numbers of their own here: they are part of their lists.
const RuleGroup kMainWindowRules[] = {
    {2,
     1,
     {IdExit, IdMaximize, IdMinimize, IdAbout, IdTray, IdPspStatus2, IdRightListStyle, IdUpALevel}},
    {4,
     1,
     {IdConvert, IdSelectAllPc, IdRemove, IdDeleteFromPsp, IdCancel, IdSelectAllPsp,
      IdNewGroupFolder, IdFreeSpaceBar, IdProgressBar}},
    {5,
     1,
     {IdPcSavesList, IdPspSavesList, IdOnlineLeft, IdOnlineRight, IdVideoPcList, IdVideoPspList,
      IdMusicPcList, IdMusicPspList, IdPhotoPcList, IdPhotoPspList}},
    {6, 1, {IdProgressBar}},
    {11, 2, {IdPcSavesList, IdOnlineLeft, IdVideoPcList, IdMusicPcList, IdPhotoPcList}},
    {12,
     2,
     {IdPspSavesList, IdFreeSpaceBar, IdOnlineRight, IdVideoPspList, IdMusicPspList,
      IdPhotoPspList}},
    {13,
     2,
     {IdTransfer, IdOptions, IdDeleteFromPsp, IdSelectAllPsp, IdNewGroupFolder, IdQuality1,
      IdPspStatus, IdQuality2, IdQuality3, IdQuality4, IdQuality5, IdWideScreen, IdNormalScreen,
      IdNormalMpeg4, IdAvc, IdLeftListStyle, IdQuality0}},
    {14,
     2,
     {IdTransfer, IdOptions, IdQuality1, IdQuality2, IdQuality3, IdQuality4, IdQuality5,
      IdWideScreen, IdNormalScreen, IdNormalMpeg4, IdAvc, IdQuality0}},
    // The window's own additions follow their neighbours: the saves tree takes the left list's
    // place, the saves page's two buttons stay in the centre column, the free space in words
    // sits beside its bar and the status line spans the bottom band.
    {4, 1, {IdFreeSpaceText, IdStatusLine}},
    {5, 1, {IdOnlineTree}},
    {6, 1, {IdStatusLine}},
    {11, 2, {IdOnlineTree}},
    {13, 2, {IdBackupSaves, IdInstallFromFile, IdFreeSpaceText}},
    {14, 2, {IdBackupSaves, IdInstallFromFile}},
};

}  // namespace

ControlLayout MainWindowLayout(SkinSize size) {
  ControlLayout layout(size);
  for (const RuleGroup& group : kMainWindowRules)
    for (const int control : group.controls)
      layout.Add(control, group.mode, group.divisor);
  return layout;
}

}  // namespace pspkvx
