#include "ui/manager_fixture.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace pspkvx::test {

std::vector<int> FakeView::ColumnWidths(int listId) const {
  return widths_.count(listId) ? widths_.at(listId) : std::vector<int>{};
}

int FakeView::RunMessageBox(const MessageBoxRequest& request) {
  boxes_.push_back(request);
  const MessageBoxButtonSet set = ButtonSetForType(request.type);
  if (set.count == 1 || answers_.empty()) return set.results[0];
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

OptionsOutcome FakeView::RunOptions(AppConfig&, const std::string&) {
  inOptions_ = true;
  ++optionsRuns_;
  inOptions_ = false;
  return optionsOutcome_;
}

ManagerTest::ManagerTest() {
  root_ = dir_.File("stick") + "/";
  std::filesystem::create_directories(root_);
  SetConfigDefaults(app_.m_config, dir_.path());
  app_.m_config.SearchForPsp = 0;
  app_.m_config.PspDriveLetter = 'P';
  app_.m_szProgramFolder = dir_.File("program");
  std::filesystem::create_directories(app_.m_szProgramFolder);
  app_.m_nPlatform = platform::kOsNt;
  platform_.PlugInPsp('P', root_, uint64_t(1) << 30, uint64_t(1) << 29);
}

ManagerTest::~ManagerTest() {
  window_.reset();
}

CManagerDlg& ManagerTest::Window() {
  if (!window_) {
    window_ = std::make_unique<CManagerDlg>(app_, view_);
    window_->AttachWindowThread([] {});
    window_->SetExitBounds({2, 2, 2, 2, 2, 2});
    window_->Initialize();
    // The polling worker makes its first poll at once; the test waits for its answer (a test
    // without a PSP goes on after the wait).
    window_->PspDrive().Poll();
    PumpUntil([this] { return window_->PspDrive().IsReady(); }, 2000);
  }
  return *window_;
}

bool ManagerTest::PumpUntil(const std::function<bool()>& done, int limitMs) {
  for (int waited = 0; !done() && waited < limitMs; waited += 5) {
    Window().ServicePendingMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  Window().ServicePendingMessages();
  return done();
}

}  // namespace pspkvx::test
