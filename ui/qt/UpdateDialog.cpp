#include "ui/qt/UpdateDialog.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMetaObject>
#include <QPainter>
#include <QPointer>
#include <array>

#include "base/StringTable.h"
#include "ui/qt/SkinButton.h"
#include "ui/qt/SkinColour.h"
#include "ui/qt/SkinFrame.h"

namespace pspkvx {
namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 170;
constexpr std::array<int, 3> kOkFaces = {239, 238, 237};

// Runs call on the dialog's thread, unless the dialog is gone by then.
template <typename Call>
void OnWindowThread(UpdateDialog* dialog, Call call) {
  QMetaObject::invokeMethod(dialog, std::move(call), Qt::QueuedConnection);
}

}  // namespace

UpdateDialog::UpdateDialog(CUpdateCheckDlg& logic, QWidget* parent)
    : QDialog(parent), logic_(logic) {
  setObjectName("UpdateDialog");
  setWindowTitle(QString::fromUtf8(StringText(IDS_APP_TITLE)));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setAutoFillBackground(true);
  setFixedSize(kWidth, kHeight);
  new SkinFrame(*this, SmallDialogStyle());  // the skinned face: borderless and shaped

  text_ = new QLabel(this);
  text_->setObjectName("UpdateText");
  text_->setWordWrap(true);
  text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont font("Arial");
  font.setPixelSize(17);
  font.setWeight(QFont::Normal);
  text_->setFont(font);
  text_->setGeometry(24, 18, kWidth - 48, 64);
  QPalette textPalette = text_->palette();
  textPalette.setColor(QPalette::WindowText, SkinColour(kMessageText));
  text_->setPalette(textPalette);

  progressRect_ = QRect(24, 90, kWidth - 48, 22);

  cancel_ = new SkinButton(2, QStringLiteral("Cancel"), this);
  cancel_->setObjectName("UpdateCancel");
  cancel_->setGeometry((kWidth - 96) / 2, kHeight - 42, 96, 26);
  cancel_->setDefault(true);
  connect(cancel_, &SkinButton::Command, this, [this] { logic_.OnCancel(); });
}

UpdateDialog::~UpdateDialog() {
  logic_.Attach(nullptr);
}

void UpdateDialog::Run() {
  logic_.Attach(this);
  logic_.OnInitDialog();
  exec();
  logic_.Attach(nullptr);
}

void UpdateDialog::SetText(const std::string& text) {
  const QString shown = QString::fromStdString(text).replace("\r\n", "\n");
  OnWindowThread(this, [this, shown] { text_->setText(shown); });
}

void UpdateDialog::SetOkFaces() {
  OnWindowThread(this, [this] {
    cancel_->SetFaces(kOkFaces);
    cancel_->SetLabel(QString::fromUtf8(StringText(IDS_OK)));
    update();
  });
}

void UpdateDialog::SetProgress(double percent, const std::string& text) {
  const QString shown = QString::fromStdString(text);
  OnWindowThread(this, [this, percent, shown] {
    percent_ = percent;
    progressText_ = shown;
    update(progressRect_);
  });
}

void UpdateDialog::EndDialog(int result) {
  OnWindowThread(this, [this, result] { done(result); });
}

QString UpdateDialog::Text() const {
  return text_->text();
}

QString UpdateDialog::ButtonLabel() const {
  return cancel_->text();
}

void UpdateDialog::reject() {
  logic_.OnCancel();
}

void UpdateDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  if (percent_ < 0) return;
  // The text bar: a rounded track, the filled part, the text centred over both.
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF frame = QRectF(progressRect_).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.setPen(QPen(SkinColour(0xB5A39A), 1));
  painter.setBrush(SkinColour(0xFBF8F7));
  painter.drawRoundedRect(frame, 5, 5);
  const qreal filled = (frame.width() - 2) * percent_ / 100.0;
  if (filled > 0) {
    QLinearGradient fill(0, frame.top(), 0, frame.bottom());
    fill.setColorAt(0, SkinColour(0xE0937D));
    fill.setColorAt(1, SkinColour(0xC0634A));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(frame.left() + 1, frame.top() + 1, filled, frame.height() - 2),
                            4, 4);
  }
  QFont font("Arial");
  font.setPixelSize(13);
  painter.setFont(font);
  painter.setPen(SkinColour(kMessageText));
  painter.drawText(progressRect_, Qt::AlignCenter, progressText_);
}

}  // namespace pspkvx
