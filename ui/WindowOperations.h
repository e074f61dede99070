// The feature operations the main window's controls start. The window's logic checks a
// control's guards and calls the operation registered for it; a control whose operation is
// not registered does nothing. Each feature registers its operations when it is built.
//
// Batch and worker operations run on their worker thread; every other one on the window
// thread.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/ManualResetEvent.h"
#include "ui/Pages.h"

namespace pspkvx {

struct WindowOperations {
  using Work = std::function<void(const ManualResetEvent& stop)>;

  // The batch operation of each page (worker kind 4), with the batch's parameter (0: to the PSP;
  // 1: "Convert" on the video page, the download on the online page).
  std::array<std::function<void(uintptr_t parameter, const ManualResetEvent& stop)>, kPageCount>
      batch;
  // "Convert" on the video page: the videos to files on the PC (the batch with parameter 1).
  std::function<void(const ManualResetEvent& stop)> convertVideos;
  // The long-lived background worker (kind 5) runs these in turn for the whole run: the online
  // browser, the lists' pictures. A pass says whether it did something (the worker then goes
  // on at once; else it rests a quarter of a second).
  std::vector<std::function<bool(const ManualResetEvent& stop)>> backgroundPasses;
  Work loadLists;                                                           // worker kind 2
  std::function<void(uintptr_t which, const ManualResetEvent&)> saveLists;  // kind 3
  Work videoThumbs;                                                         // worker kind 12

  // Window thread.
  std::function<void(int page)> scanPspSide;  // reload a media page's PSP list from the stick
  std::function<void(int page, const std::vector<std::string>& files)> addFiles;
  std::function<std::string(int page)> addFilesFolder;  // where the file dialog starts
  std::function<void(int page)> removeFromPcList;
  std::function<void(int page)> deleteOnStick;  // the music and photo pages
  std::function<void(int page)> newGroupFolder;
  std::function<void(int page)> upALevel;
  // The group folder state of a media page's PSP list: inside a group folder; a row that is a
  // group folder.
  std::function<bool(int page)> insideGroupFolder;
  std::function<bool(int page, int row)> rowIsGroupFolder;
  std::function<void(int page, int command, int row)> groupMenuCommand;
  std::function<void()> onlineRefresh;            // F5 on the online page
  std::function<void()> onlineDeleteKey;          // Delete on the online page
  std::function<void(int row)> onlineRowPressed;  // a row of the online page's left list
  std::function<void()> onlineBack;               // Back: button 1013, the extra mouse buttons
  std::function<void(int page)> pageEntered;      // after a page switch
  // The saves page: the tree's chosen save downloaded (the transfer button), a tree node opened
  // or closed, whether a node has a context menu, a command of that menu.
  std::function<void()> treeDownload;
  std::function<void(int64_t node, bool expanded)> treeExpanded;
  std::function<bool(int64_t node)> treeMenuFor;
  std::function<void(int command, int64_t node)> treeMenuCommand;
  std::function<void()> backUpSaves;            // the chosen PSP saves written to files on the PC
  std::function<void()> installFromFile;        // save files on the PC installed on the PSP
  std::function<void(int listId)> showDetails;  // a list item pressed: its details
  // The update check: runs the update dialog; true when an upgrade was downloaded and its
  // program started (the window then exits).
  std::function<bool()> updateCheck;
  // The newer-version notice (after the options dialog, and once the online page's settings
  // are read); true when there was one to show.
  std::function<bool()> versionNotice;
  // WM_TRANSFER_DONE by the pending download kind, with the buffer (never 0 here). The
  // upgrade is written only when it is sound and signed; false refuses it.
  std::function<void(intptr_t buffer)> installDownloadedSave;  // kind 2
  std::function<bool(intptr_t buffer)> writeUpgrade;           // kind 1
};

// The kinds of download whose end WM_TRANSFER_DONE reports (its wParam).
enum PendingDownload : int {
  PendingNone = 0,
  PendingUpgrade = 1,
  PendingSave = 2,
};

}  // namespace pspkvx
