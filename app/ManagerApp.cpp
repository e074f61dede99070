#include "app/ManagerApp.h"

#include "base/ProgramEnvironment.h"

namespace pspkvx {

CManagerApp::CManagerApp(platform::Platform& platform) : platform_(platform) {
  const std::string path = platform_.ProgramPath();
  appName_ = path.empty() ? "PSPKVX" : platform::BaseNameOfPath(path);
}

uint32_t CManagerApp::DetectPlatform() const {
  return DetectOsFamily(platform_);
}

std::string CManagerApp::FindProgramFolder() const {
  return pspkvx::FindProgramFolder(platform_);
}

int CManagerApp::InitInstance(IMainWindowHost& frontEnd) {
  instanceLock_ = platform_.AcquireInstanceLock(appName_);
  if (!instanceLock_) {
    platform_.AskRunningInstanceToRaise(appName_);
    return 0;
  }
  m_nPlatform = DetectPlatform();
  m_szProgramFolder = FindProgramFolder();
  m_bFirstRun = LoadConfig(m_config, m_szProgramFolder, platform_.DocumentsFolder()) ? 1 : 0;
  const int result = frontEnd.RunMainWindow(*this);
  if (result == ResultOk) SaveConfig(m_config, m_szProgramFolder);
  return 0;
}

bool CManagerApp::PreTranslateMessage(uint32_t message, uintptr_t wParam) {
  return message == WM_KEYDOWN_MESSAGE && wParam == VK_RETURN_KEY;
}

int CManagerApp::DoMessageBox(const std::string& text, int type, int /*promptId*/) {
  MessageBoxRequest request;
  request.text = text;
  request.type = type;
  return DoMessageBox(request);
}

int CManagerApp::DoMessageBox(const MessageBoxRequest& request) {
  IMessageBoxHost* host = messageBoxHost_.load();
  if (!host) return ButtonSetForType(request.type).results[0];
  return ShowMessage(*host, request);
}

}  // namespace pspkvx
