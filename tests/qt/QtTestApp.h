// The one QApplication of the Qt test program (offscreen platform), and pointer events sent
// straight to a widget (as Qt delivers them to the widget that holds the pointer).
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
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

// A mouse event of type at pos (in the widget), for button, with the buttons held after it.
inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint pos,
                      Qt::MouseButton button = Qt::LeftButton, Qt::MouseButtons held = {},
                      Qt::KeyboardModifiers keys = Qt::NoModifier) {
  QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, held, keys);
  QApplication::sendEvent(widget, &event);
}
inline void Press(QWidget* widget, QPoint pos, Qt::KeyboardModifiers keys = Qt::NoModifier,
                  Qt::MouseButton button = Qt::LeftButton) {
  SendMouse(widget, QEvent::MouseButtonPress, pos, button, button, keys);
}
inline void Release(QWidget* widget, QPoint pos, Qt::KeyboardModifiers keys = Qt::NoModifier,
                    Qt::MouseButton button = Qt::LeftButton) {
  SendMouse(widget, QEvent::MouseButtonRelease, pos, button, Qt::NoButton, keys);
}
inline void Click(QWidget* widget, QPoint pos, Qt::KeyboardModifiers keys = Qt::NoModifier) {
  Press(widget, pos, keys);
  Release(widget, pos, keys);
}
inline void Move(QWidget* widget, QPoint pos, Qt::MouseButtons held = Qt::NoButton) {
  SendMouse(widget, QEvent::MouseMove, pos, Qt::NoButton, held);
}
// One wheel event of delta units (120 a notch; positive: away from the user).
inline void Wheel(QWidget* widget, QPoint pos, int delta) {
  QWheelEvent event(QPointF(pos), QPointF(widget->mapToGlobal(pos)), QPoint(), QPoint(0, delta),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &event);
}

}  // namespace pspkvx::test
