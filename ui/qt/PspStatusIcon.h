// The connection icon of the PSP status button, drawn in plain shapes until the skin brings its
// own faces: a PSP outline with one to three signal arcs while searching, a lit PSP while ready.
#pragma once

#include <QPixmap>

namespace pspkvx {

QPixmap PspStatusIcon(bool connected, int phase, int height = 32);

}  // namespace pspkvx
