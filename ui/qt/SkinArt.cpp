#include "ui/qt/SkinArt.h"

#include <QPainter>
#include <QRect>
#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace pspkvx {
namespace {

struct Art {
  std::string folder;
  std::map<std::pair<int, int>, std::optional<QPixmap>> loaded;  // (id, scale) → the picture
};

Art& TheArt() {
  static Art art;
  return art;
}

const QPixmap* Load(int id, int scale) {
  Art& art = TheArt();
  auto [it, added] = art.loaded.try_emplace({id, scale});
  if (added && !art.folder.empty()) {
    QPixmap picture(QString::fromStdString(art.folder + "/" + BitmapFileName(id, scale)));
    if (!picture.isNull()) {
      picture.setDevicePixelRatio(scale);
      it->second = std::move(picture);
    }
  }
  return it->second ? &*it->second : nullptr;
}

}  // namespace

void SetSkinArtFolder(const std::string& datFolder) {
  Art& art = TheArt();
  art.folder = datFolder;
  art.loaded.clear();
}

const std::string& SkinArtFolder() {
  return TheArt().folder;
}

const QPixmap* SkinBitmap(int id, qreal ratio) {
  if (ratio >= 1.5)
    if (const QPixmap* big = Load(id, 2)) return big;
  return Load(id, 1);
}

void DrawStretchedFace(QPainter& painter, const QRect& target, const QPixmap& face, int corner) {
  // Source places are the picture's own pixels (twice the logical size for a 200 % picture).
  const qreal ratio = face.devicePixelRatio();
  const qreal c =
      std::min<qreal>({static_cast<qreal>(corner), target.width() / 2.0, target.height() / 2.0});
  const qreal sc = c * ratio;
  const qreal tx[4] = {qreal(target.left()), target.left() + c, target.left() + target.width() - c,
                       qreal(target.left() + target.width())};
  const qreal ty[4] = {qreal(target.top()), target.top() + c, target.top() + target.height() - c,
                       qreal(target.top() + target.height())};
  const qreal sx[4] = {0, sc, face.width() - sc, qreal(face.width())};
  const qreal sy[4] = {0, sc, face.height() - sc, qreal(face.height())};
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column) {
      const QRectF to(tx[column], ty[row], tx[column + 1] - tx[column], ty[row + 1] - ty[row]);
      const QRectF from(sx[column], sy[row], sx[column + 1] - sx[column], sy[row + 1] - sy[row]);
      if (to.width() > 0 && to.height() > 0 && from.width() > 0 && from.height() > 0)
        painter.drawPixmap(to, face, from);
    }
}

}  // namespace pspkvx
