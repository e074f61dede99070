#include "ui/qt/SkinButton.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/qt/SkinArt.h"
#include "ui/qt/SkinColour.h"

namespace pspkvx {

SkinButton::SkinButton(int controlId, const QString& label, QWidget* parent)
    : QPushButton(label, parent), controlId_(controlId) {
  setMouseTracking(true);
  setAutoDefault(false);
  connect(this, &QAbstractButton::clicked, this, [this] { emit Command(controlId_); });
}

void SkinButton::SetFaceIndex(int index) {
  if (index == faceIndex_) return;
  faceIndex_ = index;
  update();
}

int SkinButton::DrawnState() const {
  if (faceIndex_ >= ButtonNormal && faceIndex_ <= ButtonPressed) return faceIndex_;
  if (isDown()) return ButtonPressed;
  return states_.State();
}

QSize SkinButton::sizeHint() const {
  const QFontMetrics metrics = fontMetrics();
  return {std::max(metrics.horizontalAdvance(text()) + 24, 60),
          std::max(metrics.height() + 10, 24)};
}

void SkinButton::Show(const ButtonStep& step) {
  update();
  if (step.click) click();  // last: the command may close the window and with it the button
}

void SkinButton::LoseCapture() {
  if (states_.State() == ButtonNormal && !states_.Pressed()) return;
  states_.CaptureLost();
  update();
}

void SkinButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  Show(states_.LeftPressed(rect().contains(event->position().toPoint())));
}

void SkinButton::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);  // the second press of a double click
}

void SkinButton::mouseMoveEvent(QMouseEvent* event) {
  Show(states_.PointerMoved(rect().contains(event->position().toPoint()),
                            event->buttons().testFlag(Qt::LeftButton)));
}

void SkinButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  Show(states_.LeftReleased(rect().contains(event->position().toPoint())));
}

void SkinButton::leaveEvent(QEvent* event) {
  Show(states_.PointerMoved(false, QGuiApplication::mouseButtons().testFlag(Qt::LeftButton)));
  QPushButton::leaveEvent(event);
}

void SkinButton::hideEvent(QHideEvent* event) {
  LoseCapture();
  QPushButton::hideEvent(event);
}

void SkinButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && !isEnabled()) LoseCapture();
  QPushButton::changeEvent(event);
}

bool SkinButton::event(QEvent* event) {
  if (event->type() == QEvent::WindowDeactivate) LoseCapture();
  return QPushButton::event(event);
}

void SkinButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Paint(painter);
}

const QPixmap* SkinButton::FacePicture(int state) const {
  const ButtonFaces faces = faces_[0] >= 0 ? faces_
                            : isDefault()  ? kDefaultButtonFaces
                                           : kOtherButtonFaces;
  const int index = std::clamp(state, 1, 3) - 1;
  const qreal ratio = devicePixelRatioF();
  if (const QPixmap* face = SkinBitmap(faces[index], ratio)) return face;
  return SkinBitmap(kOtherButtonFaces[index], ratio);
}

void SkinButton::Paint(QPainter& painter) {
  const int state = DrawnState();
  const QPixmap* face = FacePicture(state);
  if (!face) {
    PaintPlain(painter, state);
    return;
  }
  if (!isEnabled()) painter.setOpacity(0.6);
  DrawStretchedFace(painter, rect(), *face, kButtonFaceCorner);
  painter.setOpacity(1);
  QRect textArea = rect().adjusted(4, 1, -4, -1);
  if (state == ButtonPressed) textArea.translate(0, 1);
  painter.setPen(SkinColour(LabelColour(state, isEnabled())));
  if (wraps_ && fontMetrics().horizontalAdvance(text()) > textArea.width())
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextWordWrap, text());
  else
    painter.drawText(textArea, Qt::AlignCenter,
                     fontMetrics().elidedText(text(), Qt::ElideRight, textArea.width()));
  if (hasFocus()) PaintFocus(painter);
}

void SkinButton::PaintFocus(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(SkinColour(kLabelHot), 1.5, Qt::DotLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(QRectF(rect()).adjusted(3.5, 3.5, -3.5, -3.5), 3, 3);
}

void SkinButton::PaintPlain(QPainter& painter, int state) {
  const QColor label = SkinColour(LabelColour(state, isEnabled()));
  QColor face = SkinColour(kDialogFace);
  if (state == ButtonHot) face = face.lighter(106);
  // A chosen button stays legible while the window is busy: its disabled caption would vanish
  // on the darker face.
  if (state == ButtonPressed && isEnabled()) face = face.darker(110);

  painter.setRenderHint(QPainter::Antialiasing);
  const qreal border = isDefault() ? 2.0 : 1.0;
  const QRectF frame = QRectF(rect()).adjusted(border / 2, border / 2, -border / 2, -border / 2);
  painter.setPen(QPen(label, border));
  painter.setBrush(face);
  painter.drawRoundedRect(frame, 5, 5);

  QRect textArea = rect().adjusted(6, 2, -6, -2);
  if (state == ButtonPressed) textArea.translate(1, 1);
  painter.setPen(label);
  painter.drawText(textArea, Qt::AlignCenter,
                   fontMetrics().elidedText(text(), Qt::ElideRight, textArea.width()));
  if (hasFocus()) {
    painter.setPen(QPen(label, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(3.5, 3.5, -3.5, -3.5), 3, 3);
  }
}

}  // namespace pspkvx
