// Build tool: draws the skin art into a program folder's Dat/ folder, so that the art is made
// from code (reproducible, and restyled by changing the numbers below).
//
//   skin_art DATFOLDER
//
// Every picture is drawn at 100 % and at 200 % ("NAME@2x"), from the same geometry, so that
// both scales are sharp.
//
// "Dialog Graphic.bmp" is the main window's skin: 740 x 520, its nine slices 256 / 228 / 128 /
// 264 (corner width, stretch width, corner height, stretch height), pure blue outside the
// window's rounded outline (the key colour the window's shape is cut by). What lies in a
// stretch band does not change along the band, so that tiling it shows no seams.
// "Small Dialog.bmp" is the small dialogs' skin, white outside its outline. "Bitmap N.png" are
// the controls' pictures (ui/skin/SkinBitmaps.h): button faces in three states, the scroll
// bar's arrows, thumb and track.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <cstring>
#include <functional>

#include "ui/skin/SkinBitmaps.h"

namespace {

using pspkvx::BitmapFileName;

constexpr int kWidth = 740;
constexpr int kHeight = 520;
constexpr int kCornerHeight = 128;
constexpr int kStretchHeight = 264;
constexpr int kCaption = 31;     // the caption band the window is dragged by
constexpr int kGrip = 36;        // the resize grip in the bottom-right corner
constexpr double kRadius = 14;   // the outline's corners
constexpr int kStatusBand = 28;  // the band along the bottom

const QColor kKey(0, 0, 255);
const QColor kWhiteKey(255, 255, 255);
const QColor kOutline(0x26, 0x2c, 0x3a);
const QColor kCaptionTop(0x3d, 0x4a, 0x66);
const QColor kCaptionBottom(0x2a, 0x33, 0x48);
const QColor kFace(0xe9, 0xec, 0xf2);
const QColor kFaceEdge(0xd3, 0xd8, 0xe2);
const QColor kStatusTop(0xdc, 0xe1, 0xea);
const QColor kStatusBottom(0xc9, 0xcf, 0xdb);
const QColor kGripLine(0x8a, 0x93, 0xa6);
const QColor kAccent(0x4a, 0x63, 0xc0);
const QColor kArrow(0x50, 0x5a, 0x70);

// A skin at a scale: the geometry is given at 100 % and the painter scales it.
QImage Canvas(int width, int height, int scale, const QColor& fill, QImage::Format format) {
  QImage image(width * scale, height * scale, format);
  image.fill(fill);
  return image;
}

// The 200 % skin takes the 100 % skin's shape exactly: a window's shape is cut from the 100 %
// face, so a 200 % pixel is key exactly where its 100 % pixel is (the rest of the key is
// painted in the outline's colour).
void MatchShape(QImage& big, const QImage& small, const QColor& key) {
  const QRgb keyRgb = key.rgb();
  const QRgb outline = kOutline.rgb();
  for (int y = 0; y < big.height(); ++y)
    for (int x = 0; x < big.width(); ++x) {
      const bool smallKey = small.pixel(x / 2, y / 2) == keyRgb;
      const bool bigKey = big.pixel(x, y) == keyRgb;
      if (smallKey && !bigKey) big.setPixel(x, y, keyRgb);
      if (!smallKey && bigKey) big.setPixel(x, y, outline);
    }
}

// A skin's outline: the key outside a rounded rectangle, a 2-pixel frame of the outline's colour,
// the face inside it; the painter is left clipped to the inside. The outline is drawn without
// smoothing: a blended edge pixel would be neither the key nor the face, and the shape would
// show a fringe of it.
void DrawOutline(QPainter& painter, int width, int height, double radius) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  QPainterPath outline;
  outline.addRoundedRect(QRectF(0, 0, width, height), radius, radius);
  painter.fillPath(outline, kOutline);
  QPainterPath inner;
  inner.addRoundedRect(QRectF(2, 2, width - 4, height - 4), radius - 2, radius - 2);
  painter.setClipPath(inner);
  painter.fillRect(QRect(0, 0, width, height), kFace);
}

QImage MainSkin(int scale) {
  QImage image = Canvas(kWidth, kHeight, scale, kKey, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.scale(scale, scale);
  // The face: the caption band's gradient at the top, the flat body (the vertical stretch band,
  // rows 128..392, is the same in every row), the status band's gradient at the bottom.
  DrawOutline(painter, kWidth, kHeight, kRadius);
  QLinearGradient caption(0, 0, 0, kCaption);
  caption.setColorAt(0, kCaptionTop);
  caption.setColorAt(1, kCaptionBottom);
  painter.fillRect(QRect(0, 0, kWidth, kCaption), caption);
  painter.fillRect(QRect(0, kCaption, kWidth, 1), kOutline);
  QLinearGradient status(0, kHeight - kStatusBand, 0, kHeight);
  status.setColorAt(0, kStatusTop);
  status.setColorAt(1, kStatusBottom);
  painter.fillRect(QRect(0, kHeight - kStatusBand, kWidth, kStatusBand), status);
  painter.fillRect(QRect(0, kHeight - kStatusBand - 1, kWidth, 1), kFaceEdge);
  // A lighter line along the left and right inner edges, the same in every row.
  painter.fillRect(QRect(2, kCaption + 1, 1, kHeight - kCaption - 3), kFaceEdge);
  painter.fillRect(QRect(kWidth - 3, kCaption + 1, 1, kHeight - kCaption - 3), kFaceEdge);

  // The grip: three diagonal ridges in the bottom-right corner.
  painter.setClipping(false);
  painter.setRenderHint(QPainter::Antialiasing, scale > 1);
  painter.setPen(QPen(kGripLine, 2));
  for (int i = 1; i <= 3; ++i) {
    const int reach = i * 9;
    painter.drawLine(kWidth - 6 - reach, kHeight - 6, kWidth - 6, kHeight - 6 - reach);
  }
  static_assert(kCornerHeight + kStretchHeight + kCornerHeight == kHeight);
  static_assert(kStatusBand + kGrip < kCornerHeight);
  return image;
}

// The small dialogs: a rounded outline, a thin band of the caption's colour along the top, the
// face below; white outside.
QImage SmallDialogSkin(int scale) {
  constexpr int side = 2 * pspkvx::kSmallDialogCorner + pspkvx::kSmallDialogStretch;
  constexpr double radius = 10;
  QImage image = Canvas(side, side, scale, kWhiteKey, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.scale(scale, scale);
  DrawOutline(painter, side, side, radius);
  QLinearGradient band(0, 0, 0, 7);
  band.setColorAt(0, kCaptionTop);
  band.setColorAt(1, kCaptionBottom);
  painter.fillRect(QRect(0, 0, side, 7), band);
  return image;
}

// A button face: a rounded body with a top-to-bottom gradient and a border, on transparency.
struct FaceLook {
  FaceLook(QColor t, QColor b, QColor edge, double edgeWidth = 1, QColor bar = QColor())
      : top(t), bottom(b), border(edge), borderWidth(edgeWidth), mark(bar) {}
  QColor top, bottom, border;
  double borderWidth;
  QColor mark;  // a bar along the bottom (a chosen tab), or invalid
};

QImage ButtonFace(const FaceLook& look, int scale) {
  using pspkvx::kButtonFaceHeight;
  using pspkvx::kButtonFaceWidth;
  QImage image =
      Canvas(kButtonFaceWidth, kButtonFaceHeight, scale, Qt::transparent, QImage::Format_ARGB32);
  QPainter painter(&image);
  painter.scale(scale, scale);
  painter.setRenderHint(QPainter::Antialiasing);
  const double half = look.borderWidth / 2;
  const QRectF body(half, half, kButtonFaceWidth - look.borderWidth,
                    kButtonFaceHeight - look.borderWidth);
  QLinearGradient fill(0, 0, 0, kButtonFaceHeight);
  fill.setColorAt(0, look.top);
  fill.setColorAt(1, look.bottom);
  painter.setPen(QPen(look.border, look.borderWidth));
  painter.setBrush(fill);
  painter.drawRoundedRect(body, 5, 5);
  // A light line under the top edge gives the face its lift.
  painter.setPen(QPen(QColor(255, 255, 255, 150), 1));
  painter.drawLine(QPointF(5, look.borderWidth + 0.5),
                   QPointF(kButtonFaceWidth - 5, look.borderWidth + 0.5));
  if (look.mark.isValid())
    painter.fillRect(QRectF(6, kButtonFaceHeight - 4, kButtonFaceWidth - 12, 2), look.mark);
  return image;
}

struct FaceSet {
  pspkvx::ButtonFaces ids;
  FaceLook looks[3];
};

const QColor kPlainBorder(0x9a, 0xa3, 0xb5);
const QColor kHotBorder(0x5b, 0x7b, 0xd8);

const FaceSet kFaceSets[] = {
    {pspkvx::kOtherButtonFaces,
     {{QColor(0xfd, 0xfd, 0xfe), QColor(0xe2, 0xe6, 0xee), kPlainBorder},
      {QColor(0xff, 0xff, 0xff), QColor(0xec, 0xf0, 0xfa), kHotBorder},
      {QColor(0xd6, 0xdc, 0xe8), QColor(0xec, 0xef, 0xf5), kHotBorder}}},
    {pspkvx::kDefaultButtonFaces,
     {{QColor(0xfd, 0xfd, 0xfe), QColor(0xe2, 0xe6, 0xee), kAccent, 2},
      {QColor(0xff, 0xff, 0xff), QColor(0xec, 0xf0, 0xfa), kHotBorder, 2},
      {QColor(0xd6, 0xdc, 0xe8), QColor(0xec, 0xef, 0xf5), kHotBorder, 2}}},
    {pspkvx::kExtraButtonFaces,
     {{QColor(0xf4, 0xf6, 0xfa), QColor(0xdb, 0xe0, 0xea), kPlainBorder},
      {QColor(0xff, 0xff, 0xff), QColor(0xe8, 0xed, 0xf8), kHotBorder},
      {QColor(0xd2, 0xd8, 0xe5), QColor(0xe9, 0xec, 0xf3), kHotBorder}}},
    {pspkvx::kTabButtonFaces,
     {{QColor(0xe4, 0xe8, 0xef), QColor(0xd0, 0xd6, 0xe1), kPlainBorder},
      {QColor(0xf2, 0xf5, 0xfb), QColor(0xdf, 0xe5, 0xf0), kHotBorder},
      {QColor(0xff, 0xff, 0xff), QColor(0xf1, 0xf4, 0xfc), kAccent, 1, kAccent}}},
    {pspkvx::kTitleButtonFaces,
     {{QColor(0xe6, 0xea, 0xf1), QColor(0xc9, 0xd0, 0xdc), QColor(0x1a, 0x1f, 0x2b)},
      {QColor(0xff, 0xff, 0xff), QColor(0xe1, 0xe7, 0xf2), QColor(0x1a, 0x1f, 0x2b)},
      {QColor(0xbf, 0xc7, 0xd5), QColor(0xdc, 0xe1, 0xea), QColor(0x1a, 0x1f, 0x2b)}}},
    {pspkvx::kActionButtonFaces,
     {{QColor(0xec, 0xf1, 0xff), QColor(0xc8, 0xd6, 0xfa), kAccent, 2},
      {QColor(0xf6, 0xf8, 0xff), QColor(0xd9, 0xe3, 0xfd), kHotBorder, 2},
      {QColor(0xbb, 0xca, 0xf2), QColor(0xd9, 0xe2, 0xfa), kHotBorder, 2}}},
};

// The scroll bar's pieces, kScrollBarWidth wide.
QImage ScrollArrow(bool up, int state, int scale) {
  constexpr int side = pspkvx::kScrollBarWidth;
  QImage image = Canvas(side, side, scale, Qt::transparent, QImage::Format_ARGB32);
  QPainter painter(&image);
  painter.scale(scale, scale);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor top = state == 3 ? QColor(0xd6, 0xdc, 0xe8) : QColor(0xfb, 0xfc, 0xfd);
  const QColor bottom = state == 3 ? QColor(0xec, 0xef, 0xf5) : QColor(0xe2, 0xe6, 0xee);
  QLinearGradient fill(0, 0, 0, side);
  fill.setColorAt(0, top);
  fill.setColorAt(1, bottom);
  painter.setPen(QPen(state == 1 ? kPlainBorder : kHotBorder, 1));
  painter.setBrush(fill);
  painter.drawRoundedRect(QRectF(0.5, 0.5, side - 1, side - 1), 3, 3);
  const QColor glyph = state == 1 ? kArrow : state == 2 ? QColor(0x45, 0x60, 0xfa) : kAccent;
  painter.setPen(Qt::NoPen);
  painter.setBrush(glyph);
  const double c = side / 2.0;
  QPolygonF triangle;
  if (up)
    triangle << QPointF(c - 4, c + 2) << QPointF(c + 4, c + 2) << QPointF(c, c - 3);
  else
    triangle << QPointF(c - 4, c - 2) << QPointF(c + 4, c - 2) << QPointF(c, c + 3);
  painter.drawPolygon(triangle);
  return image;
}

QImage ScrollThumb(int state, int scale) {
  constexpr int width = pspkvx::kScrollBarWidth;
  constexpr int length = pspkvx::kScrollThumbLength;
  QImage image = Canvas(width, length, scale, Qt::transparent, QImage::Format_ARGB32);
  QPainter painter(&image);
  painter.scale(scale, scale);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor body = state == 1   ? QColor(0xb4, 0xbc, 0xcc)
                      : state == 2 ? QColor(0x8d, 0xa2, 0xe6)
                                   : QColor(0x6f, 0x88, 0xdc);
  QLinearGradient fill(0, 0, width, 0);
  fill.setColorAt(0, body.lighter(112));
  fill.setColorAt(1, body);
  painter.setPen(QPen(body.darker(125), 1));
  painter.setBrush(fill);
  painter.drawRoundedRect(QRectF(2.5, 0.5, width - 5, length - 1), 5, 5);
  return image;
}

QImage ScrollTrack(int scale) {
  constexpr int side = pspkvx::kScrollBarWidth;
  QImage image = Canvas(side, side, scale, QColor(0xe4, 0xe7, 0xee), QImage::Format_ARGB32);
  QPainter painter(&image);
  painter.scale(scale, scale);
  painter.fillRect(QRectF(0, 0, 1, side), kFaceEdge);
  return image;
}

bool Save(const QImage& image, const QString& path, const char* format) {
  // The skins are 24 bits per pixel BMP files, as the shipped skins are; the controls' pictures
  // are PNG with their transparency.
  const bool saved = std::strcmp(format, "BMP") == 0
                         ? image.convertToFormat(QImage::Format_RGB888).save(path, format)
                         : image.save(path, format);
  if (saved) return true;
  std::fprintf(stderr, "skin_art: cannot write %s\n", qPrintable(path));
  return false;
}

bool SaveBoth(const QString& folder, const std::string& name1x, const std::string& name2x,
              const QImage& small, const QImage& big, const char* format) {
  return Save(small, folder + "/" + QString::fromStdString(name1x), format) &&
         Save(big, folder + "/" + QString::fromStdString(name2x), format);
}

// A control's picture of a number at both scales, drawn by draw(scale).
bool SavePicture(const QString& folder, int id, const std::function<QImage(int)>& draw) {
  return SaveBoth(folder, BitmapFileName(id, 1), BitmapFileName(id, 2), draw(1), draw(2), "PNG");
}

bool SaveControls(const QString& folder) {
  bool ok = true;
  for (const FaceSet& set : kFaceSets)
    for (size_t state = 0; state < 3; ++state)
      ok = ok && SavePicture(folder, set.ids[state],
                             [&](int scale) { return ButtonFace(set.looks[state], scale); });
  for (int state = 1; state <= 3; ++state) {
    const auto index = static_cast<size_t>(state - 1);
    ok = ok &&
         SavePicture(folder, pspkvx::kScrollUpFaces[index],
                     [&](int scale) { return ScrollArrow(true, state, scale); }) &&
         SavePicture(folder, pspkvx::kScrollDownFaces[index],
                     [&](int scale) { return ScrollArrow(false, state, scale); }) &&
         SavePicture(folder, pspkvx::kScrollThumbFaces[index],
                     [&](int scale) { return ScrollThumb(state, scale); });
  }
  return ok && SavePicture(folder, pspkvx::kScrollTrack, ScrollTrack);
}

bool SaveSkin(const QString& folder, const std::string& name, const QImage& small, QImage big,
              const QColor& key) {
  MatchShape(big, small, key);
  const size_t dot = name.rfind('.');
  return SaveBoth(folder, name, name.substr(0, dot) + "@2x" + name.substr(dot), small, big, "BMP");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: skin_art DATFOLDER\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString folder = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "skin_art: cannot make %s\n", argv[1]);
    return 1;
  }
  const bool ok = SaveControls(folder) &&
                  SaveSkin(folder, pspkvx::kSmallDialogSkin, SmallDialogSkin(1), SmallDialogSkin(2),
                           kWhiteKey) &&
                  // The main skin last: the build takes it as the sign that the art is complete.
                  SaveSkin(folder, "Dialog Graphic.bmp", MainSkin(1), MainSkin(2), kKey);
  return ok ? 0 : 1;
}
