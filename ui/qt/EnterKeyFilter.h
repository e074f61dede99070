// Swallows Enter before PSPKVX's windows see it, so that Enter never closes or activates
// anything there; the system's file dialogs keep it.
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
