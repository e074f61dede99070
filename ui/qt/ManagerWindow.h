// The PSPKVX main window on Qt: the skinned, shaped window (SkinFrame) with the widgets of every
// page at their places (MainWindowPlaces, moved by MainWindowLayout on a resize), and the front end
// of the window's logic (CManagerDlg): it forwards the widgets' events, the 300 ms timer, keys and
// closing to the logic and carries out what the logic asks through IManagerView. It is the window
// thread of the program.
#pragma once

#include <QDialog>
#include <QTimer>
#include <map>
#include <memory>

#include "app/ManagerApp.h"
#include "ui/ManagerDlg.h"
#include "ui/ManagerView.h"
#include "ui/skin/ControlLayout.h"

class QLabel;
class QProgressBar;

namespace pspkvx {

class SkinButton;
class SkinFrame;
class SkinList;
class SkinListView;
class SkinTree;
class StatusButton;
class TreeModel;

class ManagerWindow : public QDialog, public IManagerView {
  Q_OBJECT
 public:
  explicit ManagerWindow(CManagerApp& app, QWidget* parent = nullptr);
  ~ManagerWindow() override;

  CManagerDlg& Logic() { return *logic_; }
  WindowBridge& Bridge() { return logic_->Bridge(); }
  int CurrentPage() const { return logic_->CurrentPage(); }
  void SwitchToPage(int page) { logic_->SwitchToPage(page); }
  void ExitSequence() { logic_->ExitSequence(); }
  CPspDrive& PspDrive() { return logic_->PspDrive(); }
  bool PspPollingRunning() const { return logic_->WorkerRunning(ThreadPollPsp); }
  bool MessageShowing() const { return logic_->MessageShowing(); }
  intptr_t SendWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return logic_->SendWindowMessage(message, wParam, lParam);
  }
  // The widget of a control number; null for a number the window has no widget for.
  QWidget* Control(int id) const;
  // The saves tree of the saves page ("Online Tree").
  TreeModel& SavesTree() { return *savesTree_; }

  // IManagerView
  void ShowControl(int id, bool shown) override;
  void EnableControl(int id, bool enabled) override;
  void SetFaceIndex(int id, int face) override;
  void FocusControl(int id) override;
  std::vector<int> ColumnWidths(int listId) const override;
  void SetColumnWidths(int listId, const std::vector<int>& widths) override;
  void SetListPictureSize(int listId, int width, int height) override;
  void RepaintAll() override;
  void RepaintStatusArea() override;
  void RepaintControl(int id) override;
  Rect WindowRect() const override;
  Rect WorkArea() const override;
  void PlaceWindow(const Placement& placement) override;
  bool IsMaximized() const override;
  void Minimize() override { showMinimized(); }
  void MaximizeOrRestore() override;
  void NudgeSize(int pixels) override;
  void EndWindow(int result) override { done(result); }
  int RunMessageBox(const MessageBoxRequest& request) override;
  OptionsOutcome RunOptions(AppConfig& config, const std::string& programFolder) override;
  void RunInfo(const std::string& text) override;
  void RunUpdateDialog(CUpdateCheckDlg& dialog) override;
  std::string RunNameEntry(const std::string& prompt, const std::string& initialName) override;
  int RunContextMenu(int menu) override;
  std::string RunSaveDialog(const std::string& proposedPath) override;
  std::vector<std::string> ChooseFiles(const std::string& folder) override;
  std::string ChooseFolder(const std::string& folder) override;
  bool OpenDocument(const std::string& address) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;  // Escape does not close the main window
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void CreateControls();
  void LayOutControls();
  // Puts a control where the layout has it, on the page now labelled.
  void Place(int id);
  QLabel* AddLabel(int id, const char* name);
  QProgressBar* AddBar(int id, const char* name);
  SkinButton* AddButton(int id);
  SkinList* AddList(int id, bool pcSide);
  SkinListView* AddListView(int id);
  void RelabelForPage();
  void RefreshPainted();
  void BringForward();
  // The area whose double clicks act as the skin's caption: the caption band.
  Rect CaptionRect() const;

  CManagerApp& app_;
  std::unique_ptr<CManagerDlg> logic_;
  std::shared_ptr<TreeModel> savesTree_;
  std::map<int, QWidget*> controls_;
  SkinFrame* frame_ = nullptr;
  std::map<int, SkinRect> places_;  // every control's place now
  ControlLayout layout_;
  QTimer timer_;
  QLabel* statusLabel_ = nullptr;
  QLabel* pspStatusLabel_ = nullptr;
  QLabel* freeSpaceLabel_ = nullptr;
  QProgressBar* freeSpaceBar_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  StatusButton* pspButton_ = nullptr;
  int labelledPage_ = -1;
};

}  // namespace pspkvx
