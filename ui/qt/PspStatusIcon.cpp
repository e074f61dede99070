#include "ui/qt/PspStatusIcon.h"

#include <QPainter>
#include <algorithm>

namespace pspkvx {

void PaintPspStatusIcon(QPainter& painter, const QRectF& area, bool connected, int phase) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const double height = std::min(area.height(), area.width() / 2);
  const QPointF origin(area.left() + (area.width() - height * 2) / 2,
                       area.top() + (area.height() - height) / 2);

  const QColor body = connected ? QColor(40, 40, 48) : QColor(120, 120, 128);
  const QColor screen = connected ? QColor(70, 190, 90) : QColor(200, 200, 205);
  const QColor signal = connected ? QColor(70, 190, 90) : QColor(230, 150, 30);

  // The handheld: a wide rounded body with its screen in the middle.
  const QRectF handheld(origin.x() + 1, origin.y() + height * 0.22, height * 1.3, height * 0.56);
  painter.setPen(Qt::NoPen);
  painter.setBrush(body);
  painter.drawRoundedRect(handheld, height * 0.2, height * 0.2);
  painter.setBrush(screen);
  painter.drawRect(handheld.adjusted(handheld.width() * 0.27, handheld.height() * 0.18,
                                     -handheld.width() * 0.27, -handheld.height() * 0.18));

  // Signal arcs beside it: all three when connected, else as many as the phase.
  const int arcs = connected ? 3 : std::clamp(phase, 1, 3);
  QPen pen(signal, height * 0.08, Qt::SolidLine, Qt::RoundCap);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  const QPointF centre(handheld.right() + height * 0.02, origin.y() + height / 2.0);
  for (int i = 1; i <= arcs; ++i) {
    const double radius = height * 0.14 * i;
    painter.drawArc(QRectF(centre.x() - radius, centre.y() - radius, radius * 2, radius * 2),
                    -45 * 16, 90 * 16);
  }
  painter.restore();
}

QPixmap PspStatusIcon(bool connected, int phase, int height) {
  QPixmap pixmap(height * 2, height);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  PaintPspStatusIcon(painter, QRectF(0, 0, height * 2, height), connected, phase);
  return pixmap;
}

}  // namespace pspkvx
