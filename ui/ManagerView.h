// What the main window's logic (CManagerDlg) asks of its front end: the widgets by control
// number, painting, the window itself and the modal dialogs. Everything here is called on the
// window thread. The Qt window implements it; tests fake it.
#pragma once

#include <string>
#include <vector>

#include "base/MessageBox.h"
#include "ui/OptionsModel.h"
#include "ui/WindowGeometry.h"

namespace pspkvx {

struct AppConfig;
class CUpdateCheckDlg;

class IManagerView {
 public:
  virtual ~IManagerView() = default;

  // Controls (ControlId).
  virtual void ShowControl(int id, bool shown) = 0;
  virtual void EnableControl(int id, bool enabled) = 0;
  // A face the window picks for a control: the pressed Exit button, the chosen tab and quality
  // step (1 chosen, 0 not), the PSP status button's phase.
  virtual void SetFaceIndex(int id, int face) = 0;
  virtual void FocusControl(int id) = 0;
  // The column widths of a list view (1086, 1087).
  virtual std::vector<int> ColumnWidths(int listId) const = 0;
  virtual void SetColumnWidths(int listId, const std::vector<int>& widths) = 0;
  // The size of the pictures a list draws in its rows (0 x 0: none).
  virtual void SetListPictureSize(int listId, int width, int height) = 0;

  // Painting: everything; the status rectangle (PSP state, free space); one control.
  virtual void RepaintAll() = 0;
  virtual void RepaintStatusArea() = 0;
  virtual void RepaintControl(int id) = 0;

  // The window.
  virtual Rect WindowRect() const = 0;
  virtual Rect WorkArea() const = 0;
  virtual void PlaceWindow(const Placement& placement) = 0;
  virtual bool IsMaximized() const = 0;
  virtual void Minimize() = 0;
  virtual void MaximizeOrRestore() = 0;
  // The first two timer ticks grow the window by pixels and back, so that a shaped window
  // paints itself once whole.
  virtual void NudgeSize(int pixels) = 0;
  // Ends the window's modal run with a dialog result.
  virtual void EndWindow(int result) = 0;

  // Modal dialogs.
  virtual int RunMessageBox(const MessageBoxRequest& request) = 0;
  virtual OptionsOutcome RunOptions(AppConfig& config, const std::string& programFolder) = 0;
  virtual void RunInfo(const std::string& text) = 0;
  // The update dialog over its logic: the front end attaches its face, calls OnInitDialog and
  // runs the dialog until the logic ends it (or it is closed through OnCancel).
  virtual void RunUpdateDialog(CUpdateCheckDlg& dialog) = 0;
  // The name typed, or empty when cancelled.
  virtual std::string RunNameEntry(const std::string& prompt, const std::string& initialName) = 0;
  // The command chosen from a context menu (ContextMenuId) at the pointer, or 0.
  virtual int RunContextMenu(int menu) = 0;
  // The save dialog proposing a path; empty when cancelled.
  virtual std::string RunSaveDialog(const std::string& proposedPath) = 0;
  // Files chosen in a multi-selection file dialog that starts in folder; empty when cancelled.
  virtual std::vector<std::string> ChooseFiles(const std::string& folder) = 0;
  // A folder chosen in a folder dialog that starts in folder; empty when cancelled.
  virtual std::string ChooseFolder(const std::string& folder) = 0;
  // Opens a web page or a document with the desktop's handler; false when that failed.
  virtual bool OpenDocument(const std::string& address) = 0;
};

}  // namespace pspkvx
