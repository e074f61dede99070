#include "ui/qt/UpdateDialog.h"

#include <QLabel>
#include <QMetaObject>
#include <QPainter>
#include <QPointer>
#include <array>

#include "base/StringTable.h"
#include "ui/qt/SkinButton.h"
#include "ui/qt/SkinColour.h"

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
  // The text bar: the filled part, the frame, the text centred over both.
  QPainter painter(this);
  const QRect frame = progressRect_.adjusted(0, 0, -1, -1);
  painter.fillRect(frame, SkinColour(kDialogFace));
  const int filled = static_cast<int>(frame.width() * percent_ / 100.0);
  painter.fillRect(QRect(frame.left(), frame.top(), filled, frame.height()), SkinColour(0xD08040));
  painter.setPen(SkinColour(0x806050));
  painter.drawRect(frame);
  QFont font("Arial");
  font.setPixelSize(13);
  painter.setFont(font);
  painter.setPen(SkinColour(kMessageText));
  painter.drawText(progressRect_, Qt::AlignCenter, progressText_);
}

}  // namespace pspkvx
