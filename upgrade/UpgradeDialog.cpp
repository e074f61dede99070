#include "upgrade/UpgradeDialog.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

namespace pspkvx {
namespace {

constexpr int kDialogWidth = 258;
constexpr int kDialogHeight = 107;
// The longest a close waits for the worker to see its stop event.
constexpr std::chrono::milliseconds kStopWait = std::chrono::seconds(3);

// The application icon (the desktop icon's shapes): a PSP with a lit screen.
QIcon ApplicationIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(64.0 / 256, 64.0 / 256);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x23, 0x25, 0x2b));
  painter.drawRoundedRect(QRectF(8, 72, 240, 112), 52, 52);
  painter.setBrush(QColor(0x3f, 0xbf, 0x5f));
  painter.drawRoundedRect(QRectF(64, 88, 128, 80), 6, 6);
  painter.setBrush(QColor(0x5a, 0x5d, 0x66));
  painter.drawEllipse(QPointF(36, 128), 12, 12);
  painter.setBrush(QColor(0x8a, 0x8d, 0x96));
  for (const QPointF centre :
       {QPointF(220, 112), QPointF(220, 144), QPointF(204, 128), QPointF(236, 128)})
    painter.drawEllipse(centre, 7, 7);
  painter.setBrush(QColor(255, 255, 255, 217));
  const QPointF mark[3] = {QPointF(92, 150), QPointF(128, 104), QPointF(164, 150)};
  painter.drawPolygon(mark, 3);
  painter.end();
  return QIcon(pixmap);
}

}  // namespace

UpgradeSession::UpgradeSession(std::unique_ptr<platform::Platform> platform, UpdaterOptions options)
    : platform_(std::move(platform)), updater_(*platform_, std::move(options), *this) {}

UpgradeSession::~UpgradeSession() = default;

bool UpgradeSession::Start(UpgradeDialog* dialog) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    dialog_ = dialog;
  }
  thread_ = CThread::Start(this, 0, 0, {}, ThreadPriorityNormal);
  return thread_ != nullptr;
}

void UpgradeSession::Detach() {
  std::lock_guard<std::mutex> lock(mutex_);
  dialog_ = nullptr;
}

bool UpgradeSession::RequestStop() {
  return !thread_ || updater_.RequestStop(thread_->StopEvent());
}

bool UpgradeSession::WaitForEnd(std::chrono::milliseconds limit) {
  return !thread_ || thread_->WaitForEnd(limit);
}

int UpgradeSession::ExitCode() const {
  return updated_ ? 0 : 1;
}

void UpgradeSession::RunThreadWork(int /*kind*/, ManualResetEvent& stop, uintptr_t /*parameter*/) {
  const UpdaterResult result = updater_.Run(stop);
  updated_ = result.outcome == UpdaterOutcome::Updated;
  if (!result.reason.empty()) std::fprintf(stderr, "upgrade: %s\n", result.reason.c_str());
  Post([outcome = result.outcome](UpgradeDialog& dialog) { dialog.WorkEnded(outcome); });
}

void UpgradeSession::SetText(const std::string& text) {
  Post([text = QString::fromStdString(text)](UpgradeDialog& dialog) { dialog.ShowText(text); });
}

void UpgradeSession::Post(std::function<void(UpgradeDialog&)> call) {
  // Posting under the lock: Detach (in the dialog's destructor) waits for it, so the dialog is
  // alive while the call is queued, and Qt drops the queued call if the dialog goes before it
  // runs.
  std::lock_guard<std::mutex> lock(mutex_);
  if (!dialog_) return;
  UpgradeDialog* dialog = dialog_;
  QMetaObject::invokeMethod(
      dialog, [dialog, call = std::move(call)] { call(*dialog); }, Qt::QueuedConnection);
}

UpgradeDialog::UpgradeDialog(UpgradeSession& session, std::chrono::milliseconds failurePause)
    : session_(session), failurePause_(failurePause) {
  setWindowTitle(kUpdaterCaption);
  setWindowIcon(ApplicationIcon());
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(kDialogWidth, kDialogHeight);

  text_ = new QLabel(kUpdaterInitialText, this);
  text_->setAlignment(Qt::AlignCenter);
  text_->setWordWrap(true);
  ok_ = new QPushButton("OK", this);
  ok_->setDefault(true);
  ok_->hide();
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_, 1);
  layout->addWidget(ok_, 0, Qt::AlignHCenter);
}

UpgradeDialog::~UpgradeDialog() {
  session_.Detach();
}

void UpgradeDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (started_) return;
  started_ = true;
  if (!session_.Start(this)) {
    std::fputs("upgrade: the worker cannot be started\n", stderr);
    WorkEnded(UpdaterOutcome::Failed);
  }
}

void UpgradeDialog::ShowText(const QString& text) {
  text_->setText(text);
}

void UpgradeDialog::WorkEnded(UpdaterOutcome outcome) {
  ended_ = true;
  ok_->show();
  if (outcome == UpdaterOutcome::Updated || outcome == UpdaterOutcome::Stopped) {
    accept();
    return;
  }
  // The failure's text stays for a moment; the dialog never waits for a click.
  QTimer::singleShot(failurePause_, this, &QDialog::accept);
}

bool UpgradeDialog::MayClose() {
  if (ended_ || closing_) return true;
  if (!session_.RequestStop()) return false;  // files are being written
  closing_ = true;
  session_.WaitForEnd(kStopWait);
  return true;
}

void UpgradeDialog::reject() {
  if (MayClose()) QDialog::reject();
}

void UpgradeDialog::closeEvent(QCloseEvent* event) {
  if (!MayClose()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace pspkvx
