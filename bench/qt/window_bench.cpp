// The main window's speed, measured side by side in one run (offscreen unless a display is
// asked for with QT_QPA_PLATFORM):
//  1. first paint: a fresh process each time, from its start to the first paint event of its
//     window, for a bare QDialog program and for PSPKVX's main window, both this same binary,
//     alternating, ten runs each; medians and their ratio.
//  2. window-thread lateness: a 10 ms timer on the window thread while the PSP poller (on a
//     simulated stick), a list load and a batch that writes files to the stick all run; the
//     worst and the 99th-percentile lateness of the timer.
// Run: build/release/bench/pspkvx_window_bench
#include <unistd.h>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/ManagerApp.h"
#include "platform/Platform.h"
#include "platform/SimulatedPsp.h"
#include "ui/ControlIds.h"
#include "ui/Pages.h"
#include "ui/qt/ManagerWindow.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Waits for the first paint of a widget.
class FirstPaint : public QObject {
 public:
  bool painted = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
};

// Shows the window and waits for its first paint.
void ShowAndWaitForPaint(QWidget& window) {
  FirstPaint watch;
  window.installEventFilter(&watch);
  window.show();
  while (!watch.painted)
    QApplication::processEvents(QEventLoop::AllEvents, 1);
  window.removeEventFilter(&watch);
}

// Milliseconds since this process was started, as the system counts it.
double MillisecondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string field;
  for (int i = 0; i < 22 && stat >> field; ++i) {
  }
  const double startTicks = std::stod(field);
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const double ticksPerSecond = static_cast<double>(sysconf(_SC_CLK_TCK));
  return (static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9 -
          startTicks / ticksPerSecond) *
         1000.0;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Folder {
  Folder() {
    char pattern[] = "/tmp/pspkvx-window-bench-XXXXXX";
    path = mkdtemp(pattern);
  }
  ~Folder() { fs::remove_all(path); }
  std::string path;
};

// A platform whose PSP is a folder of the bench, with a program folder of its own.
struct BenchApp {
  BenchApp() {
    fs::create_directories(program.path + "/p");
    platform = pspkvx::platform::WithSimulatedPsp(pspkvx::platform::CreateSystemPlatform(),
                                                  stick.path, uint64_t(1) << 30);
    app = std::make_unique<pspkvx::CManagerApp>(*platform);
    pspkvx::SetConfigDefaults(app->m_config, program.path);
    app->m_config.SearchForPsp = 0;
    app->m_config.PspDriveLetter = pspkvx::platform::kSimulatedPspLetter;
    app->m_szProgramFolder = program.path + "/p";
    app->m_nPlatform = pspkvx::platform::kOsNt;
  }
  Folder stick;
  Folder program;
  std::unique_ptr<pspkvx::platform::Platform> platform;
  std::unique_ptr<pspkvx::CManagerApp> app;
};

// One run of the child: its window's first paint, in milliseconds since the process started.
int FirstPaintChild(const std::string& which) {
  if (which == "bare") {
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel("A bare window"));
    dialog.resize(780, 570);
    ShowAndWaitForPaint(dialog);
  } else {
    BenchApp bench;
    pspkvx::ManagerWindow window(*bench.app);
    ShowAndWaitForPaint(window);
    std::printf("%.2f\n", MillisecondsSinceProcessStart());
    std::fflush(stdout);
    return 0;  // the window's exit follows; it is not measured
  }
  std::printf("%.2f\n", MillisecondsSinceProcessStart());
  return 0;
}

double RunChild(const char* self, const char* which) {
  const std::string command = std::string("'") + self + "' --first-paint " + which;
  FILE* child = popen(command.c_str(), "r");
  double ms = -1;
  if (child && std::fscanf(child, "%lf", &ms) != 1) ms = -1;
  if (child) pclose(child);
  return ms;
}

void FirstPaints(const char* self) {
  std::vector<double> bare, main;
  for (int round = 0; round < 10; ++round) {
    bare.push_back(RunChild(self, "bare"));
    main.push_back(RunChild(self, "main"));
  }
  const double b = Median(bare), m = Median(main);
  std::printf(
      "first paint after the program's start, median of 10 runs: bare Qt window %.1f ms, "
      "PSPKVX main window %.1f ms, ratio %.2f\n",
      b, m, m / b);
}

void Lateness() {
  BenchApp bench;
  pspkvx::ManagerWindow window(*bench.app);
  pspkvx::WindowOperations& ops = window.Logic().Operations();
  // A list load that reads for a while, and a batch that writes 40 files of 1 MiB to the stick.
  ops.loadLists = [](const pspkvx::ManualResetEvent& stop) {
    for (int i = 0; i < 20 && !stop.IsSet(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  };
  const std::string music = bench.stick.path + "/PSP/Music";
  std::atomic<int> filesWritten{0};
  ops.batch[pspkvx::PageMusic] = [&](uintptr_t, const pspkvx::ManualResetEvent& stop) {
    fs::create_directories(music);
    const std::string block(1 << 20, 'm');
    for (int i = 0; i < 400 && !stop.IsSet(); ++i) {
      std::ofstream(music + "/TRACK" + std::to_string(i) + ".MP3", std::ios::binary) << block;
      window.Logic().Progress() = (i + 1) * 100 / 400;
      ++filesWritten;
    }
  };
  window.show();
  while (!window.PspDrive().IsReady())
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  window.SwitchToPage(pspkvx::PageMusic);

  std::vector<double> late;
  auto last = Clock::now();
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    late.push_back(std::chrono::duration<double, std::milli>(now - last).count() - 10.0);
    last = now;
  });
  tick.start(10);
  // The poller runs for the whole time; the batch starts a little in and runs to its end.
  QTimer::singleShot(200, [&] { window.Logic().OnCommand(pspkvx::IdTransfer); });
  QElapsedTimer run;
  run.start();
  while (run.elapsed() < 300 || window.Logic().IsBusy())
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  const qint64 busyFor = run.elapsed();
  tick.stop();
  std::sort(late.begin(), late.end());
  std::printf(
      "window-thread lateness of a 10 ms timer over %lld ms (poller, list load, a batch writing "
      "%d files of 1 MiB): worst %.1f ms, 99th percentile %.1f ms, %zu ticks\n",
      static_cast<long long>(busyFor), filesWritten.load(), late.back(),
      late[late.size() * 99 / 100], late.size());
  window.ExitSequence();
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (argc == 3 && std::string(argv[1]) == "--first-paint") {
    QApplication application(argc, argv);
    return FirstPaintChild(argv[2]);
  }
  FirstPaints(argv[0]);
  QApplication application(argc, argv);
  Lateness();
  return 0;
}
