// The one QApplication of the Qt test program (offscreen platform).
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <functional>

namespace pspkvx::test {

inline QApplication& QtApp() {
  static int argc = 1;
  static char name[] = "test_qt";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

// Runs the event loop until done() holds or the limit passes; returns done().
inline bool ProcessEventsUntil(const std::function<bool()>& done, int limitMs = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < limitMs)
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

}  // namespace pspkvx::test
