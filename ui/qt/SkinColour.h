// A skin colour (a Windows colour value, see ui/skin/Colours.h) as a QColor.
#pragma once

#include <QColor>
#include <cstdint>

#include "ui/skin/Colours.h"

namespace pspkvx {

inline QColor SkinColour(uint32_t colorref) {
  return QColor::fromRgb(static_cast<QRgb>(RgbFromColorref(colorref)));
}

}  // namespace pspkvx
