// CManagerApp: the life of the PSPKVX process. It refuses a second instance, classifies the
// operating system, finds the program folder, loads the configuration record, runs the main
// window modally and saves the record when the window ended with OK. GUI-free: the front end
// hands in what runs the main window (IMainWindowHost).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "app/AppConfig.h"
#include "base/MessageBox.h"
#include "platform/Platform.h"

namespace pspkvx {

inline constexpr uint32_t WM_KEYDOWN_MESSAGE = 0x0100;
inline constexpr uintptr_t VK_RETURN_KEY = 13;

class CManagerApp;

// The front end's part of start-up: it runs the main window.
class IMainWindowHost {
 public:
  virtual ~IMainWindowHost() = default;
  // Runs the main window modally and returns its result (ResultOk when it ended with OK).
  virtual int RunMainWindow(CManagerApp& app) = 0;
};

class CManagerApp {
 public:
  // The application name, which names the single-instance lock, is the program file's base
  // name ("PSPKVX" when the system cannot tell).
  explicit CManagerApp(platform::Platform& platform);

  // The whole program. Returns the process exit code: 0, also for a second instance, which
  // asks the first to come forward and ends without a word.
  int InitInstance(IMainWindowHost& frontEnd);

  // True (consumed) for a key-down of Enter, so that Enter never closes or activates anything.
  static bool PreTranslateMessage(uint32_t message, uintptr_t wParam);

  // Every message box of the program arrives here.
  int DoMessageBox(const std::string& text, int type = MbOk, int promptId = 0);
  int DoMessageBox(const MessageBoxRequest& request);
  void SetMessageBoxHost(IMessageBoxHost* host) { messageBoxHost_.store(host); }

  // 0, 1 or 2 as DetectPlatform found (see platform::OsFamilyValue).
  uint32_t DetectPlatform() const;
  // The program folder: the program path before its last separator, else the current folder.
  std::string FindProgramFolder() const;

  platform::Platform& Platform() { return platform_; }
  // The first instance's lock (null before InitInstance or in a second instance).
  platform::InstanceLock* InstanceLock() { return instanceLock_.get(); }

  // Process-wide data written once at start and only read afterwards.
  uint32_t m_nPlatform = 0;
  uint32_t m_bFirstRun = 0;       // cleared by the main window
  std::string m_szProgramFolder;  // without a trailing separator
  AppConfig m_config{};           // the one configuration record

 private:
  platform::Platform& platform_;
  std::string appName_;
  std::unique_ptr<platform::InstanceLock> instanceLock_;
  std::atomic<IMessageBoxHost*> messageBoxHost_{nullptr};  // read by workers too
};

}  // namespace pspkvx
