// The skinned button: a push button whose pointer handling is ButtonStates and whose face is
// drawn by one routine (Paint) from the skin's face bitmaps. Command(id) is sent
// exactly when a click is: a left press on the button released over it (ButtonStates), the
// Space key, the dialog's Enter on its default button, or click().
//
// Qt keeps the pointer for the pressed widget by itself and reports leaving through leaveEvent,
// so the capture changes ButtonStates asks for need no explicit grab. A hidden or disabled
// button, or one whose window loses activation, has lost the capture.
#pragma once

#include <QPushButton>
#include <array>

#include "ui/skin/ButtonStates.h"
#include "ui/skin/SkinBitmaps.h"

class QPainter;
class QPixmap;

namespace pspkvx {

class SkinButton : public QPushButton {
  Q_OBJECT
 public:
  SkinButton(int controlId, const QString& label, QWidget* parent = nullptr);

  int ControlId() const { return controlId_; }
  void SetLabel(const QString& label) { setText(label); }
  QString Label() const { return text(); }
  // A label that does not fit on one line wraps onto the next ones instead of being cut short.
  void SetWrapsLabel(bool wraps) { wraps_ = wraps; }

  // A number the owner sets: an animation phase, or a forced face (1 normal, 2 hot, 3 pressed,
  // drawn whatever the pointer does; 0 follows the pointer).
  void SetFaceIndex(int index);
  int FaceIndex() const { return faceIndex_; }
  // The skin's bitmap ids of the faces for the states 1, 2 and 3 (-1: the default faces).
  void SetFaces(const ButtonFaces& faces) {
    faces_ = faces;
    update();
  }
  std::array<int, 3> Faces() const { return faces_; }

  // The pointer state: 1 normal, 2 hot, 3 pressed.
  int State() const { return states_.State(); }
  // The face drawn: a forced face, else pressed while held by the keyboard, else State().
  int DrawnState() const;

  QSize sizeHint() const override;

 signals:
  void Command(int controlId);

 protected:
  // Draws the whole button: the face bitmap of its state stretched to its size with the label
  // over it, or a plain face when the skin has no bitmaps.
  virtual void Paint(QPainter& painter);
  // The face bitmap of a state: the button's own faces, else the plain ones; null without art.
  const QPixmap* FacePicture(int state) const;
  void PaintFocus(QPainter& painter);

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void PaintPlain(QPainter& painter, int state);
  void Show(const ButtonStep& step);
  void LoseCapture();

  int controlId_;
  int faceIndex_ = 0;
  bool wraps_ = false;
  std::array<int, 3> faces_ = {-1, -1, -1};
  ButtonStates states_;
};

}  // namespace pspkvx
