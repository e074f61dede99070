// Swallows Enter before any window sees it, so that Enter never closes or activates anything.
#pragma once

#include <QObject>

namespace pspkvx {

class EnterKeyFilter : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace pspkvx
