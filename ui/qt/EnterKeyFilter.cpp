#include "ui/qt/EnterKeyFilter.h"

#include <QFileDialog>
#include <QKeyEvent>

#include "app/ManagerApp.h"

namespace pspkvx {
namespace {

// The system's file dialogs (adding files, the Rename of an existing file) keep Enter: there it
// opens the folder or takes the name typed, as everywhere else on the desktop.
bool InFileDialog(QObject* watched) {
  const auto* widget = qobject_cast<QWidget*>(watched);
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
