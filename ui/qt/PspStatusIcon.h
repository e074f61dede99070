// The connection icon of the PSP status button, drawn in plain shapes until the skin brings its
// own faces: a PSP outline with one to three signal arcs while searching (the phase), a lit PSP
// with all three while connected.
#pragma once

#include <QPixmap>

class QPainter;
class QRectF;

namespace pspkvx {

// Draws the icon into area (twice as wide as high looks right); a phase outside 1..3 counts as
// the nearest of them.
void PaintPspStatusIcon(QPainter& painter, const QRectF& area, bool connected, int phase);
QPixmap PspStatusIcon(bool connected, int phase, int height = 32);

}  // namespace pspkvx
