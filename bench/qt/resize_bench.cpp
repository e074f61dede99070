// A live resize of the skinned main window, frame by frame (offscreen unless a display is asked
// for with QT_QPA_PLATFORM): a press on the grip, then the pointer dragged outwards and back in
// 4-pixel steps from 740 x 520 to 1380 x 1000; each frame is the pointer's move (the new size,
// the controls' layout, the face and the shape composed) and the window's paint, done at once.
// Reports the frame times (median, 95th percentile, worst) and the frames per second they allow.
// QT_SCALE_FACTOR=2 measures the 200 % face.
// Run: build/release/bench/pspkvx_resize_bench
#include <QApplication>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/ManagerApp.h"
#include "platform/Platform.h"
#include "platform/SimulatedPsp.h"
#include "ui/qt/ManagerWindow.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void Mouse(QWidget& window, QEvent::Type type, QPoint at) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons held =
      type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(Qt::LeftButton);
  QMouseEvent event(type, at, window.mapToGlobal(at), button, held, Qt::NoModifier);
  QApplication::sendEvent(&window, &event);
}

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<size_t>(share * static_cast<double>(values.size() - 1));
  return values[index];
}

}  // namespace

int main(int argc, char** argv) {
  char pattern[] = "/tmp/pspkvx-resize-bench-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  // Offscreen, a screen large enough for the whole drag.
  if (!std::getenv("QT_QPA_PLATFORM")) {
    const std::string screens = folder + "/screens.json";
    std::FILE* file = std::fopen(screens.c_str(), "w");
    if (!file) return 1;
    std::fputs(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 3840, "height": 2400,)"
               R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})",
               file);
    std::fclose(file);
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).c_str());
  }
  QApplication application(argc, argv);

  fs::create_directories(folder + "/p");
  fs::create_directories(folder + "/stick");
  fs::copy(fs::path(PSPKVX_PROGRAM_DIR) / "Dat", fs::path(folder) / "p" / "Dat",
           fs::copy_options::recursive);
  auto platform = pspkvx::platform::WithSimulatedPsp(pspkvx::platform::CreateSystemPlatform(),
                                                     folder + "/stick", uint64_t(1) << 30);
  auto app = std::make_unique<pspkvx::CManagerApp>(*platform);
  pspkvx::SetConfigDefaults(app->m_config, folder);
  app->m_config.SearchForPsp = 0;
  app->m_config.PspDriveLetter = pspkvx::platform::kSimulatedPspLetter;
  app->m_szProgramFolder = folder + "/p";

  std::vector<double> frames;
  std::vector<double> sizing;  // the move alone: the size, the layout, the face and the shape
  {
    pspkvx::ManagerWindow window(*app);
    window.setGeometry(0, 0, 740, 520);
    window.show();
    QApplication::processEvents();
    QPoint pointer(739, 519);
    Mouse(window, QEvent::MouseButtonPress, pointer);
    const auto step = [&](int dx, int dy) {
      pointer += QPoint(dx, dy);
      const auto start = Clock::now();
      Mouse(window, QEvent::MouseMove, pointer);
      const auto moved = Clock::now();
      window.repaint();
      const auto end = Clock::now();
      frames.push_back(std::chrono::duration<double, std::milli>(end - start).count());
      sizing.push_back(std::chrono::duration<double, std::milli>(moved - start).count());
    };
    for (int i = 0; i < 160; ++i)
      step(4, 3);
    for (int i = 0; i < 160; ++i)
      step(-4, -3);
    Mouse(window, QEvent::MouseButtonRelease, pointer);
    window.ExitSequence();
  }
  fs::remove_all(folder);

  const double median = Percentile(frames, 0.5);
  const double p95 = Percentile(frames, 0.95);
  const double worst = Percentile(frames, 1.0);
  std::printf("live resize, %zu frames (740x520 to 1380x1000 and back, scale %s):\n", frames.size(),
              std::getenv("QT_SCALE_FACTOR") ? std::getenv("QT_SCALE_FACTOR") : "1");
  std::printf("  frame time: median %.2f ms, 95th percentile %.2f ms, worst %.2f ms\n", median, p95,
              worst);
  std::printf(
      "  of which the new size (layout, face, shape): median %.2f ms, 95th percentile %.2f ms\n",
      Percentile(sizing, 0.5), Percentile(sizing, 0.95));
  std::printf("  frames per second at the median: %.0f (at the 95th percentile: %.0f)\n",
              1000.0 / median, 1000.0 / p95);
  return 0;
}
