#include "ui/qt/EnterKeyFilter.h"

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>

#include "app/ManagerApp.h"

namespace pspkvx {
namespace {

// The system's file dialogs (adding files, the Rename of an existing file) keep Enter: there it
// opens the folder or takes the name typed, as everywhere else on the desktop.
// A key reaches the window's QWindow before its widgets, and a completion list is a popup
// without a parent: both belong to the active window.
bool InFileDialog(QObject* watched) {
  const auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window()->windowType() == Qt::Popup) widget = QApplication::activeWindow();
  return widget && qobject_cast<const QFileDialog*>(widget->window());
}

}  // namespace

bool EnterKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !InFileDialog(watched) &&
        CManagerApp::PreTranslateMessage(WM_KEYDOWN_MESSAGE, VK_RETURN_KEY))
      return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace pspkvx
