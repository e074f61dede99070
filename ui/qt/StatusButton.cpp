#include "ui/qt/StatusButton.h"

#include <QPainter>
#include <algorithm>

#include "ui/qt/PspStatusIcon.h"
#include "ui/qt/SkinColour.h"

namespace pspkvx {

StatusButton::StatusButton(int controlId, QWidget* parent) : SkinButton(controlId, "", parent) {
  SetFaceIndex(1);
}

void StatusButton::SetPhase(int phase) {
  SetFaceIndex(std::clamp(phase, 1, 3));
}

int StatusButton::Phase() const {
  return std::clamp(FaceIndex(), 1, 3);
}

void StatusButton::SetConnected(bool connected) {
  if (connected == connected_) return;
  connected_ = connected;
  update();
}

void StatusButton::Paint(QPainter& painter) {
  // The frame follows the pointer only; the face index is the phase here.
  const int state = isDown() ? ButtonPressed : State();
  painter.setRenderHint(QPainter::Antialiasing);
  if (state != ButtonNormal) {
    painter.setPen(QPen(SkinColour(LabelColour(state, isEnabled())), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
  }
  QRectF icon = QRectF(rect()).adjusted(4, 4, -4, -4);
  if (state == ButtonPressed) icon.translate(1, 1);
  PaintPspStatusIcon(painter, icon, connected_, Phase());
}

}  // namespace pspkvx
