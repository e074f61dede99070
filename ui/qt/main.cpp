// PSPKVX: the desktop program. Takes no command-line options.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/ManagerApp.h"
#include "platform/Platform.h"
#include "ui/qt/EnterKeyFilter.h"
#include "ui/qt/ManagerWindow.h"

namespace {

// Without a display Qt would abort; say so plainly instead.
bool HasDisplay() {
#if defined(Q_OS_LINUX)
  const char* qpa = std::getenv("QT_QPA_PLATFORM");
  if (qpa && *qpa) return true;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
#else
  return true;
#endif
}

// Runs the main window for start-up.
class QtFrontEnd final : public pspkvx::IMainWindowHost {
 public:
  int RunMainWindow(pspkvx::CManagerApp& app) override {
    pspkvx::ManagerWindow window(app);
    window.show();
    return window.exec() == pspkvx::ResultOk ? pspkvx::ResultOk : pspkvx::ResultCancel;
  }
};

// Qt's messages while the application starts: kept, and shown only when start-up goes on. When
// the display cannot be opened Qt ends the process with several lines and an abort; the user
// gets one line and exit code 1 instead.
std::vector<std::string>& StartupMessages() {
  static std::vector<std::string> messages;
  return messages;
}

void OnStartupMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
  const std::string text = message.toStdString();
  if (type != QtFatalMsg) {
    StartupMessages().push_back(text);
    return;
  }
  // The first message says what failed ("could not connect to display :99").
  std::string reason = StartupMessages().empty() ? text : StartupMessages().front();
  reason = reason.substr(0, reason.find('\n'));
  const char* display = std::getenv("DISPLAY");
  std::fprintf(stderr, "PSPKVX: cannot open the display%s%s%s: %s\n", display ? " \"" : "",
               display ? display : "", display ? "\"" : "", reason.c_str());
  std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::fprintf(
        stderr,
        "PSPKVX: no display found (DISPLAY is not set); start it from a desktop session.\n");
    return 1;
  }
  // Qt's own options (-platform and the like) are the only ones understood.
  qInstallMessageHandler(OnStartupMessage);
  QApplication application(argc, argv);
  qInstallMessageHandler(nullptr);
  for (const std::string& message : StartupMessages())
    std::fprintf(stderr, "%s\n", message.c_str());
  pspkvx::EnterKeyFilter enterFilter;
  application.installEventFilter(&enterFilter);

  auto platform = pspkvx::platform::CreatePlatform();
  pspkvx::CManagerApp app(*platform);
  QtFrontEnd frontEnd;
  return app.InitInstance(frontEnd);
}
