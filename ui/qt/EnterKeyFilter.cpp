#include "ui/qt/EnterKeyFilter.h"

#include <QKeyEvent>

#include "app/ManagerApp.h"

namespace pspkvx {

bool EnterKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
        CManagerApp::PreTranslateMessage(WM_KEYDOWN_MESSAGE, VK_RETURN_KEY))
      return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace pspkvx
