// upgrade: the updater. PSPKVX stores it in its program folder as "upgrade" (the program with the
// release's files appended), starts it without arguments and ends; the updater waits for PSPKVX's
// file to be free, replaces the folder's files with the release's and starts PSPKVX again. It
// takes no options: every argument is ignored, Qt's own too.
#include <QApplication>
#include <cstdlib>

#include "base/ProgramEnvironment.h"
#include "platform/Platform.h"
#include "upgrade/UpgradeDialog.h"

namespace {

bool HasDisplay() {
#if defined(Q_OS_LINUX)
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
#else
  return true;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  // Without a display the work is still done, in a window nobody sees.
  if (!HasDisplay()) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = argc > 0 ? 1 : 0;
  QApplication application(qtArgc, argv);

  auto platform = pspkvx::platform::CreateSystemPlatform();
  pspkvx::UpdaterOptions options;
  options.folder = pspkvx::FindProgramFolder(*platform);
  // The worker uses the session until it ends; one that outlives the bounded waits keeps it.
  auto* session = new pspkvx::UpgradeSession(std::move(platform), std::move(options));
  {
    pspkvx::UpgradeDialog dialog(*session);
    dialog.show();
    dialog.exec();
  }
  const int code = session->ExitCode();
  if (session->WaitForEnd(std::chrono::seconds(3))) delete session;
  return code;
}
