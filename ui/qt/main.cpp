// PSPKVX: the desktop program. Takes no command-line options.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

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

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::fprintf(
        stderr,
        "PSPKVX: no display found (DISPLAY is not set); start it from a desktop session.\n");
    return 1;
  }
  // Qt's own options (-platform and the like) are the only ones understood.
  QApplication application(argc, argv);
  pspkvx::EnterKeyFilter enterFilter;
  application.installEventFilter(&enterFilter);

  auto platform = pspkvx::platform::CreatePlatform();
  pspkvx::CManagerApp app(*platform);
  QtFrontEnd frontEnd;
  return app.InitInstance(frontEnd);
}
