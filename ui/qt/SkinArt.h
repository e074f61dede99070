// The skin's control bitmaps (ui/skin/SkinBitmaps.h), loaded once from the program folder's
// Dat/ and kept for the program's run. The window thread alone uses them.
#pragma once

#include <QPixmap>
#include <string>

#include "ui/skin/SkinBitmaps.h"

class QPainter;
class QRect;

namespace pspkvx {

// Where the bitmaps are; set once at start-up (an empty folder: no bitmaps, plain faces).
void SetSkinArtFolder(const std::string& datFolder);
const std::string& SkinArtFolder();

// The bitmap of a number for a device pixel ratio (the 200 % picture from 1.5 on, when there
// is one); null when the skin has none.
const QPixmap* SkinBitmap(int id, qreal ratio);

// Draws a face stretched to target: its corners stay, its edges and middle stretch.
void DrawStretchedFace(QPainter& painter, const QRect& target, const QPixmap& face, int corner);

}  // namespace pspkvx
