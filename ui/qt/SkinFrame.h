// A skinned top-level window's frame: the window is borderless, its face composed from a skin
// picture for its size (nine slices), its shape cut out of the face by a key colour, and it is
// moved by presses in its drag rectangle and resized by the grip in its bottom-right corner. The
// frame watches the window's events and paints the face before the window's own paintEvent.
//
// A picture "NAME@2x.EXT" beside the skin, with the slices doubled, serves screens at 200 %
// scale; without it the 100 % face is drawn doubled. Without a skin the window keeps its plain
// face and its frame (the shape, moving and resizing stay the system's).
#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <optional>
#include <string>

#include "ui/skin/NineSlice.h"
#include "ui/skin/PixelImage.h"
#include "ui/skin/SkinRect.h"

class QPainter;
class QWidget;

namespace pspkvx {

struct SkinFrameStyle {
  std::string skinFile;
  SkinSlices slices;
  uint32_t keyColour = 0;  // a Windows colour value 0x00BBGGRR, as the skins give it
  int grip = 0;            // side of the resize grip; 0: neither resizable nor maximizable
  SkinRect drag{0, 0, 99999, 99999};
};

// The small dialogs' skin from the skin art's folder: white outside the outline, moved by a
// press anywhere on the face, not resizable.
SkinFrameStyle SmallDialogStyle();

class SkinFrame : public QObject {
  Q_OBJECT
 public:
  SkinFrame(QWidget& window, SkinFrameStyle style);

  bool Loaded() const { return loaded_; }

  bool Maximized() const;
  // Maximizing fills the screen's work area; restoring returns to the place before it. Without
  // a skin the window's own maximized state is used.
  void SetMaximized(bool maximized);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Compose(const QSize& size);
  void Paint();
  bool Press(const QPoint& at, const QPoint& global);
  bool Move(const QPoint& at, const QPoint& global, bool leftDown);
  bool Release();
  QRect WorkArea() const;

  QWidget& window_;
  SkinFrameStyle style_;
  bool loaded_ = false;
  PixelImage skin_;
  std::optional<PixelImage> skin2x_;
  PixelImage face_;    // the face at the window's size
  PixelImage face2x_;  // the same at 200 %, composed from the 200 % skin
  QImage faceImage_;   // a view of the face drawn
  QSize composedFor_;
  qreal composedRatio_ = 0;
  bool moving_ = false;
  bool resizing_ = false;
  bool maximized_ = false;
  QPoint pressOffset_;   // the press within the window, for moving
  QPoint pressPointer_;  // the pointer's screen place at a press on the grip
  QSize sizeAtPress_;
  QRect normalPlace_;  // the place before maximizing
};

}  // namespace pspkvx
