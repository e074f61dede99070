// The program's message box: a borderless face of fixed width with the message and the buttons
// of the request's type on one row (MessageBoxButtonPositions); labels and faces from the
// request or the type's defaults; the first button is the default. Pressing anywhere on the
// face and dragging moves the box. While the dialog exists the process-wide "a message box is
// open" flag is set (MessageBoxIsOpen).
//
// The face is kMessageBoxWidth x kMessageBoxHeight; a message that needs more room makes it
// taller (never wider), so that no text is cut off.
#pragma once

#include <QDialog>
#include <QPoint>
#include <optional>

#include "base/MessageBox.h"

class QPainter;

namespace pspkvx {

class SkinFrame;

class MessageBoxDialog : public QDialog {
  Q_OBJECT
 public:
  MessageBoxDialog(QWidget* parent, const MessageBoxRequest& request);

  // Runs modally and returns the pressed button's result; closing the box counts as its
  // last button (Cancel or No), or OK for a box with one button.
  int Run();

  // The control ids of the four buttons, in order.
  static constexpr int kButtonIds[4] = {1027, 1028, 1029, 1031};

 protected:
  // Draws the face; the skin replaces this routine.
  virtual void Paint(QPainter& painter);

  void reject() override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  MessageBoxOpenMark open_;
  int closeResult_;
  SkinFrame* frame_ = nullptr;
  std::optional<QPoint> dragOffset_;  // the press's place in the window while dragging
};

}  // namespace pspkvx
