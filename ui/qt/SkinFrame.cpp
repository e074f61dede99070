#include "ui/qt/SkinFrame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <cstring>

#include "ui/qt/SkinArt.h"
#include "ui/skin/Colours.h"
#include "ui/skin/SkinPicture.h"
#include "ui/skin/SkinRegion.h"
#include "ui/skin/SkinSizing.h"

namespace pspkvx {
namespace {

// "Dat/Dialog Graphic.bmp" → "Dat/Dialog Graphic@2x.bmp".
std::string DoubleScaleFile(const std::string& file) {
  const size_t dot = file.rfind('.');
  const size_t slash = file.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return file + "@2x";
  return file.substr(0, dot) + "@2x" + file.substr(dot);
}

SkinSlices Doubled(const SkinSlices& s) {
  return {2 * s.cornerWidth, 2 * s.stretchWidth, 2 * s.cornerHeight, 2 * s.stretchHeight};
}

// The skin's pixels with an opaque high byte, so that a face composed from them can be drawn as
// it is (a 32-bit RGB image); the colour bytes, which everything else reads, stay as they were.
void MakeOpaque(PixelImage& skin) {
  for (uint32_t& pixel : skin.pixels)
    pixel |= 0xFF000000u;
}

// A view of a face as an image, sharing its pixels.
QImage ImageOf(const PixelImage& face, qreal ratio) {
  QImage image(reinterpret_cast<const uchar*>(face.pixels.data()), face.width, face.height,
               face.width * 4, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  return image;
}

QRegion ShapeOf(const PixelImage& face, uint32_t key) {
  const std::vector<RegionRect> rectangles = RegionRectangles(face, key);
  QRegion shape;
  std::vector<QRect> block;
  ForEachRegionBlock(rectangles, [&](std::span<const RegionRect> part) {
    block.clear();
    for (const RegionRect& r : part)
      block.emplace_back(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0);
    QRegion piece;
    piece.setRects(block.data(), static_cast<int>(block.size()));
    shape |= piece;
  });
  return shape;
}

SkinRect ToSkinRect(const QRect& r) {
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace

SkinFrameStyle SmallDialogStyle() {
  SkinFrameStyle style;
  if (!SkinArtFolder().empty()) style.skinFile = SkinArtFolder() + "/" + kSmallDialogSkin;
  style.slices = {kSmallDialogCorner, kSmallDialogStretch, kSmallDialogCorner, kSmallDialogStretch};
  style.keyColour = kDialogKeyColour;
  return style;
}

SkinFrame::SkinFrame(QWidget& window, SkinFrameStyle style)
    : QObject(&window), window_(window), style_(std::move(style)) {
  std::string error;
  if (auto skin = LoadSkinPicture(style_.skinFile, error);
      skin && SlicesProblem(*skin, style_.slices).empty()) {
    skin_ = std::move(*skin);
    MakeOpaque(skin_);
    loaded_ = true;
    auto big = LoadSkinPicture(DoubleScaleFile(style_.skinFile), error);
    if (big && SlicesProblem(*big, Doubled(style_.slices)).empty()) {
      skin2x_ = std::move(*big);
      MakeOpaque(*skin2x_);
    }
    window_.setWindowFlags(window_.windowFlags() | Qt::FramelessWindowHint);
    if (style_.grip > 0) window_.setMouseTracking(true);  // the grip's cursor
    // The face covers the whole window: no background is filled under it first.
    window_.setAttribute(Qt::WA_OpaquePaintEvent);
  }
  window_.installEventFilter(this);
}

void SkinFrame::Compose(const QSize& size) {
  if (!loaded_) return;
  const qreal ratio = window_.devicePixelRatioF();
  if (size == composedFor_ && ratio == composedRatio_) return;
  // Below the skin's size (or from 10001 on) no face is composed: the old face and shape stay.
  if (!ComposeFaceInto(skin_, style_.slices, size.width(), size.height(), face_)) return;
  if (size != composedFor_) {
    window_.setMask(ShapeOf(face_, RgbFromColorref(style_.keyColour)));
  }
  faceImage_ = ImageOf(face_, 1);
  if (ratio > 1.5 && skin2x_ &&
      ComposeFaceInto(*skin2x_, Doubled(style_.slices), 2 * size.width(), 2 * size.height(),
                      face2x_))
    faceImage_ = ImageOf(face2x_, 2);
  composedFor_ = size;
  composedRatio_ = ratio;
}

void SkinFrame::Paint() {
  Compose(window_.size());  // a new device pixel ratio needs a new face
  if (faceImage_.isNull()) return;
  QPainter painter(&window_);
  painter.drawImage(0, 0, faceImage_);
}

QRect SkinFrame::WorkArea() const {
  const QScreen* screen = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

bool SkinFrame::Maximized() const {
  return loaded_ ? maximized_ : window_.isMaximized();
}

void SkinFrame::SetMaximized(bool maximized) {
  if (!loaded_) {
    window_.setWindowState(maximized ? window_.windowState() | Qt::WindowMaximized
                                     : window_.windowState() & ~Qt::WindowMaximized);
    return;
  }
  if (maximized == maximized_) return;
  if (maximized) {
    const std::optional<SkinRect> place = MaximizedRect(ToSkinRect(WorkArea()), style_.grip);
    if (!place) return;
    normalPlace_ = window_.geometry();
    maximized_ = true;
    window_.setGeometry(place->left, place->top, place->Width(), place->Height());
  } else {
    maximized_ = false;
    if (normalPlace_.isValid()) window_.setGeometry(normalPlace_);
  }
}

bool SkinFrame::Press(const QPoint& at, const QPoint& global) {
  const SkinSize size{window_.width(), window_.height()};
  if (InResizeGrip(at.x(), at.y(), size, style_.grip)) {
    if (maximized_) return true;  // a maximized window's grip does nothing
    resizing_ = true;
    pressPointer_ = global;
    sizeAtPress_ = window_.size();
    return true;
  }
  const SkinRect& drag = style_.drag;
  if (maximized_ || at.x() < drag.left || at.x() >= drag.right || at.y() < drag.top ||
      at.y() >= drag.bottom)
    return false;
  moving_ = true;
  pressOffset_ = global - window_.pos();
  return true;
}

bool SkinFrame::Move(const QPoint& at, const QPoint& global, bool leftDown) {
  if (moving_ && leftDown) {
    window_.move(global - pressOffset_);
    return true;
  }
  if (resizing_ && leftDown) {
    const QSize minimum = window_.minimumSize();
    const SkinSize dragged = DraggedSize(
        {sizeAtPress_.width(), sizeAtPress_.height()}, pressPointer_.x(), pressPointer_.y(),
        global.x(), global.y(), window_.x(), window_.y(), {minimum.width(), minimum.height()});
    SkinSizeLimits limits;
    limits.minimum = {minimum.width(), minimum.height()};
    limits.workArea = ToSkinRect(WorkArea());
    limits.left = window_.x();
    limits.top = window_.y();
    const auto target = ResizeTarget(dragged.width, dragged.height, true, limits);
    if (target && (target->width != window_.width() || target->height != window_.height()))
      window_.resize(target->width, target->height);
    return true;
  }
  const bool overGrip =
      !maximized_ && InResizeGrip(at.x(), at.y(), {window_.width(), window_.height()}, style_.grip);
  if (overGrip)
    window_.setCursor(Qt::SizeFDiagCursor);
  else if (window_.testAttribute(Qt::WA_SetCursor))
    window_.unsetCursor();
  return false;
}

bool SkinFrame::Release() {
  const bool ended = moving_ || resizing_;
  moving_ = resizing_ = false;
  return ended;
}

bool SkinFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &window_ || !loaded_) return false;
  switch (event->type()) {
    case QEvent::Resize:
      Compose(static_cast<QResizeEvent*>(event)->size());
      return false;
    case QEvent::Paint:
      Paint();  // the face first; the window's paintEvent draws over it
      return false;
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) return false;
      return Press(mouse->position().toPoint(), mouse->globalPosition().toPoint());
    }
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      return Move(mouse->position().toPoint(), mouse->globalPosition().toPoint(),
                  mouse->buttons().testFlag(Qt::LeftButton));
    }
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return false;
      return Release();
    default:
      return false;
  }
}

}  // namespace pspkvx
