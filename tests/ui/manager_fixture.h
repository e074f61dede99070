// The main window's logic on a fake front end: a PSP whose stick is a temporary folder, and a
// view that records what the window asks of it and answers its dialogs from a script.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/ManagerApp.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "ui/ManagerDlg.h"
#include "ui/ManagerView.h"

namespace pspkvx::test {

class FakeView : public IManagerView {
 public:
  void ShowControl(int id, bool shown) override { shown_[id] = shown; }
  void EnableControl(int id, bool enabled) override { enabled_[id] = enabled; }
  void SetFaceIndex(int id, int face) override { faces_[id] = face; }
  void FocusControl(int id) override { focused_ = id; }
  std::vector<int> ColumnWidths(int listId) const override;
  void SetColumnWidths(int listId, const std::vector<int>& widths) override {
    widths_[listId] = widths;
  }
  void RepaintAll() override { ++repaints_; }
  void RepaintStatusArea() override { ++statusRepaints_; }
  void RepaintControl(int) override {}
  Rect WindowRect() const override { return rect_; }
  Rect WorkArea() const override { return workArea_; }
  void PlaceWindow(const Placement& placement) override {
    rect_ = placement.rect;
    maximized_ = placement.maximized;
  }
  bool IsMaximized() const override { return maximized_; }
  void Minimize() override { ++minimized_; }
  void MaximizeOrRestore() override { maximized_ = !maximized_; }
  void NudgeSize(int pixels) override { nudges_.push_back(pixels); }
  void EndWindow(int result) override { endResults_.push_back(result); }
  int RunMessageBox(const MessageBoxRequest& request) override;
  OptionsOutcome RunOptions(AppConfig& config, const std::string& programFolder) override;
  void RunInfo(const std::string& text) override { infoTexts_.push_back(text); }
  void RunUpdateDialog(CUpdateCheckDlg& dialog) override {
    if (runUpdate_) runUpdate_(dialog);
  }
  std::string RunNameEntry(const std::string&, const std::string&) override { return nameAnswer_; }
  std::string RunSaveDialog(const std::string&) override { return saveAnswer_; }
  int RunContextMenu(int menu) override {
    menus_.push_back(menu);
    return menuAnswer_;
  }
  std::vector<std::string> ChooseFiles(const std::string&) override { return chosenFiles_; }
  std::string ChooseFolder(const std::string&) override { return chosenFolder_; }
  void SetListPictureSize(int listId, int width, int height) override {
    pictureSizes_[listId] = {width, height};
  }
  bool OpenDocument(const std::string& address) override {
    opened_.push_back(address);
    return openSucceeds_;
  }

  bool Shown(int id) const { return shown_.count(id) && shown_.at(id); }
  bool Enabled(int id) const { return !enabled_.count(id) || enabled_.at(id); }
  int Face(int id) const { return faces_.count(id) ? faces_.at(id) : 0; }

  // Scripted answers: questions (boxes with more than one button) take them in order, every
  // other box its first button.
  std::deque<int> answers_;
  std::vector<MessageBoxRequest> boxes_;
  OptionsOutcome optionsOutcome_ = OptionsOutcome::Accepted;
  bool inOptions_ = false;
  int optionsRuns_ = 0;
  int menuAnswer_ = 0;
  std::vector<int> menus_;
  std::vector<std::string> chosenFiles_;
  std::string chosenFolder_;
  std::string nameAnswer_;
  std::string saveAnswer_;
  std::vector<std::string> infoTexts_;
  std::function<void(CUpdateCheckDlg&)> runUpdate_;  // the update dialog, when a test runs it
  std::vector<std::string> opened_;
  bool openSucceeds_ = true;
  std::vector<int> endResults_;
  std::vector<int> nudges_;
  std::map<int, bool> shown_, enabled_;
  std::map<int, int> faces_;
  std::map<int, std::vector<int>> widths_;
  std::map<int, std::pair<int, int>> pictureSizes_;
  int focused_ = 0;
  int repaints_ = 0;
  int statusRepaints_ = 0;
  int minimized_ = 0;
  Rect rect_;
  Rect workArea_{0, 0, 1280, 1000};
  bool maximized_ = false;
};

class ManagerTest : public ::testing::Test {
 protected:
  ManagerTest();
  ~ManagerTest() override;

  // Builds the window on the fake view (after the test arranged the app and the platform).
  CManagerDlg& Window();
  // The window thread's part while it waits: handles what workers sent until done holds.
  bool PumpUntil(const std::function<bool()>& done, int limitMs = 10000);
  std::string SavePath(const std::string& folder) const { return root_ + "PSP/SAVEDATA/" + folder; }

  TempDir dir_;
  std::string root_;
  FakePlatform platform_;
  CManagerApp app_{platform_};
  FakeView view_;
  std::unique_ptr<CManagerDlg> window_;
};

}  // namespace pspkvx::test
