// Build tool: draws the skin art into a program folder's Dat/ folder, so that the art is made
// from code (reproducible, and restyled by changing the numbers below).
//
//   skin_art DATFOLDER
//
// "Dialog Graphic.bmp" is the main window's skin: 740 x 520, its nine slices 256 / 228 / 128 /
// 264 (corner width, stretch width, corner height, stretch height), pure blue outside the
// window's rounded outline (the key colour the window's shape is cut by). What lies in a
// stretch band does not change along the band, so that tiling it shows no seams.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr int kWidth = 740;
constexpr int kHeight = 520;
constexpr int kCornerHeight = 128;
constexpr int kStretchHeight = 264;
constexpr int kCaption = 31;     // the caption band the window is dragged by
constexpr int kGrip = 36;        // the resize grip in the bottom-right corner
constexpr double kRadius = 14;   // the outline's corners
constexpr int kStatusBand = 28;  // the band along the bottom

const QColor kKey(0, 0, 255);
const QColor kOutline(0x26, 0x2c, 0x3a);
const QColor kCaptionTop(0x3d, 0x4a, 0x66);
const QColor kCaptionBottom(0x2a, 0x33, 0x48);
const QColor kFace(0xe9, 0xec, 0xf2);
const QColor kFaceEdge(0xd3, 0xd8, 0xe2);
const QColor kStatusTop(0xdc, 0xe1, 0xea);
const QColor kStatusBottom(0xc9, 0xcf, 0xdb);
const QColor kGripLine(0x8a, 0x93, 0xa6);

QImage MainSkin() {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(kKey);
  QPainter painter(&image);
  // The outline is drawn without smoothing: a blended edge pixel would be neither the key nor
  // the face, and the shape would show a fringe of it.
  painter.setRenderHint(QPainter::Antialiasing, false);
  QPainterPath outline;
  outline.addRoundedRect(QRectF(0, 0, kWidth, kHeight), kRadius, kRadius);
  painter.fillPath(outline, kOutline);

  // The face inside a 2-pixel frame: the caption band's gradient at the top, the flat body
  // (the vertical stretch band, rows 128..392, is the same in every row), the status band's
  // gradient at the bottom.
  QPainterPath inner;
  inner.addRoundedRect(QRectF(2, 2, kWidth - 4, kHeight - 4), kRadius - 2, kRadius - 2);
  painter.setClipPath(inner);
  painter.fillRect(QRect(0, 0, kWidth, kHeight), kFace);
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
  painter.setPen(QPen(kGripLine, 2));
  for (int i = 1; i <= 3; ++i) {
    const int reach = i * 9;
    painter.drawLine(kWidth - 6 - reach, kHeight - 6, kWidth - 6, kHeight - 6 - reach);
  }
  static_assert(kCornerHeight + kStretchHeight + kCornerHeight == kHeight);
  static_assert(kStatusBand + kGrip < kCornerHeight);
  return image;
}

bool Save(const QImage& image, const QString& path) {
  // 24 bits per pixel, as the shipped skins are.
  if (image.convertToFormat(QImage::Format_RGB888).save(path, "BMP")) return true;
  std::fprintf(stderr, "skin_art: cannot write %s\n", qPrintable(path));
  return false;
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
  return Save(MainSkin(), folder + "/Dialog Graphic.bmp") ? 0 : 1;
}
