// The controls of the main window by their numbers. The window's logic addresses every control
// by number (page tables, enabling, handlers); the front end creates a widget for each.
#pragma once

namespace pspkvx {

enum ControlId : int {
  IdConvert = 1000,          // "Convert" on the video page: the batch with parameter 1
  IdTransfer = 1001,         // the page's batch operation (to the PSP)
  IdExit = 1003,             // title bar: "Exit"
  IdMaximize = 1004,         // title bar: maximize / restore
  IdMinimize = 1005,         // title bar: minimize
  IdStatusText = 1007,       // status text
  IdAbout = 1008,            // title bar: "Help" (the About box)
  IdAddFiles = 1009,         // add files to the page's PC list
  IdOptions = 1010,          // the options dialog
  IdSelectAllPc = 1011,      // select all of the PC list
  IdTray = 1012,             // title bar: "Tray" (no action)
  IdRemove = 1013,           // remove from the PC list (the online page: its download)
  IdDeleteFromPsp = 1014,    // delete the selected items of the PSP list from the stick
  IdCancel = 1015,           // cancel the running batch
  IdSelectAllPsp = 1016,     // select all of the PSP list
  IdTabVideo = 1017,         // page tabs
  IdTabMusic = 1018,         //
  IdTabPhoto = 1019,         //
  IdTabSaves = 1020,         //
  IdNewGroupFolder = 1021,   // new group folder (music and photo pages)
  IdQuality1 = 1022,         // quality selector, second step (photo page: photo mode 0)
  IdPspStatus = 1023,        // the PSP status button (PSP help)
  IdPspStatus2 = 1024,       // second status button (no action)
  IdQuality2 = 1025,         // quality 2 (photo mode 1)
  IdQuality3 = 1026,         // quality 3 (photo mode 2)
  IdQuality4 = 1027,         // quality 4 (photo mode 3)
  IdQuality5 = 1028,         // quality 5
  IdTabOnline = 1029,        //
  IdWideScreen = 1045,       // video choices
  IdNormalScreen = 1046,     //
  IdNormalMpeg4 = 1053,      //
  IdAvc = 1054,              //
  IdPcSavesList = 1086,      // saves page lists (list views)
  IdPspSavesList = 1087,     //
  IdStatusText2 = 1088,      // status text (no action)
  IdFreeSpaceBar = 1098,     // free space on the stick
  IdProgressBar = 1099,      // progress of the running worker
  IdOnlineLeft = 1104,       // online page panes
  IdOnlineRight = 1106,      //
  IdVideoPcList = 1115,      // video page lists
  IdVideoPspList = 1116,     //
  IdMusicPcList = 1117,      // music page lists
  IdMusicPspList = 1118,     //
  IdRightListStyle = 1119,   // display style of the right list
  IdUpALevel = 1120,         // "Up a level" in the group folders
  IdLeftListStyle = 1121,    // display style of the left list
  IdQuality0 = 1122,         // quality selector, first step
  IdPhotoPcList = 1123,      // photo page lists
  IdPhotoPspList = 1124,     //
  IdOnlineTree = 1200,       // the saves tree ("Online Tree") of the saves page
  IdStatusLine = 1201,       // the status line in the bottom band
  IdFreeSpaceText = 1202,    // the stick's free space in words, beside its bar
  IdBackupSaves = 1301,      // saves page: the chosen PSP saves written to files on the PC
  IdInstallFromFile = 1302,  // saves page: a save file on the PC installed on the PSP
};

// The six steps of the quality selector in order (quality 0..5); the middle four are the
// photo-mode selector (modes 0..3) on the photo page.
inline constexpr int kQualityButtons[6] = {IdQuality0, IdQuality1, IdQuality2,
                                           IdQuality3, IdQuality4, IdQuality5};
inline constexpr int kPhotoModeButtons[4] = {IdQuality1, IdQuality2, IdQuality3, IdQuality4};

// Context-menu commands of the music and photo PSP lists and of the online tree.
enum MenuCommand : int {
  MenuTreeRefresh = 32774,  // the online tree's folder nodes
  MenuRename = 32776,
  MenuDelete = 32777,
  MenuNewGroupFolder = 32778,
  MenuOpen = 32779,
  MenuUpALevel = 32781,
};

}  // namespace pspkvx
