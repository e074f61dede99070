#include "ui/qt/MessageBoxDialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "base/StringTable.h"
#include "ui/MessageBoxLayout.h"
#include "ui/qt/SkinButton.h"
#include "ui/qt/SkinColour.h"
#include "ui/qt/SkinFrame.h"
#include "ui/skin/ButtonStates.h"

namespace pspkvx {
namespace {

// Lays text out in width: at word boundaries, and inside a word only where one word is wider
// than the line (a path, an address). Gives the height used.
qreal LayOutText(QTextLayout& layout, qreal width) {
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  layout.beginLayout();
  qreal height = 0;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    line.setPosition(QPointF(0, height));
    height += line.height();
  }
  layout.endLayout();
  return height;
}

// The message: drawn with the wrapping above; text() stays the message as given.
class MessageText : public QLabel {
 public:
  MessageText(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);  // presses drag the box
  }

  int NeededHeight(int width) const {
    QTextLayout layout(LayoutText(), font());
    return static_cast<int>(std::ceil(LayOutText(layout, width)));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(SkinColour(kMessageText));
    QTextLayout layout(LayoutText(), font());
    LayOutText(layout, width());
    painter.setClipRect(rect());
    layout.draw(&painter, QPointF(0, 0));
  }

 private:
  // Line ends as the layout's line separators.
  QString LayoutText() const {
    QString shown = text();
    shown.replace("\r\n", "\n").replace('\r', '\n').replace('\n', QChar::LineSeparator);
    return shown;
  }
};

// The tallest face that still fits the screen.
int MaxFaceHeight(const QWidget* widget) {
  const QScreen* screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
  return screen ? std::max(screen->availableGeometry().height() - 40, kMessageBoxHeight) : 800;
}

}  // namespace

MessageBoxDialog::MessageBoxDialog(QWidget* parent, const MessageBoxRequest& request)
    : QDialog(parent) {
  setWindowTitle(QString::fromUtf8(StringText(IDS_APP_TITLE)));
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setObjectName("MessageBox");
  frame_ = new SkinFrame(*this, SmallDialogStyle());
  const MessageBoxButtonSet set = ButtonSetForType(request.type);
  closeResult_ = CloseResultForType(request.type);

  auto* text = new MessageText(QString::fromStdString(request.text), this);
  text->setObjectName("MessageText");
  MessageBoxRect area = MessageBoxTextRect(kMessageBoxWidth, kMessageBoxHeight);
  const int faceHeight =
      std::clamp(text->NeededHeight(area.width) + 70, kMessageBoxHeight, MaxFaceHeight(this));
  area = MessageBoxTextRect(kMessageBoxWidth, faceHeight);
  setFixedSize(kMessageBoxWidth, faceHeight);
  text->setGeometry(area.left, area.top, area.width, area.height);

  const std::vector<int> positions = MessageBoxButtonPositions(set.count);
  const int row = faceHeight - kMessageBoxButtonRowFromBottom;
  for (int i = 0; i < set.count; ++i) {
    const size_t index = static_cast<size_t>(i);
    const std::string label = request.labels[index] ? StringText(request.labels[index])
                                                    : DefaultButtonLabel(request.type, i);
    auto* button = new SkinButton(kButtonIds[index], QString::fromStdString(label), this);
    button->setObjectName(QString("Button%1").arg(i + 1));
    button->SetFaces(RequestButtonFaces(request, i));
    button->setGeometry(positions[index], row, kMessageBoxButtonWidth, kMessageBoxButtonHeight);
    const int result = set.results[index];
    connect(button, &SkinButton::Command, this, [this, result] { done(result); });
    if (i == 0) {
      button->setDefault(true);
      button->setFocus();
    }
  }
}

int MessageBoxDialog::Run() {
  return exec();
}

void MessageBoxDialog::reject() {
  done(closeResult_);
}

void MessageBoxDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Paint(painter);
}

void MessageBoxDialog::Paint(QPainter& painter) {
  if (frame_->Loaded()) return;  // the skin's face is drawn already
  painter.fillRect(rect(), SkinColour(kDialogFace));
  painter.setPen(SkinColour(kLabelNormal));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void MessageBoxDialog::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void MessageBoxDialog::mouseMoveEvent(QMouseEvent* event) {
  if (dragOffset_ && event->buttons().testFlag(Qt::LeftButton))
    move(event->globalPosition().toPoint() - *dragOffset_);
}

void MessageBoxDialog::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragOffset_.reset();
}

}  // namespace pspkvx
