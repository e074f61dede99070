#include "ui/qt/ManagerWindow.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/StringTable.h"
#include "base/WindowMessages.h"
#include "psp/PspPolling.h"
#include "ui/Pages.h"
#include "ui/qt/MessageBoxDialog.h"
#include "ui/qt/PspStatusIcon.h"

namespace pspkvx {
namespace {

constexpr int kMinimumWidth = 740;
constexpr int kMinimumHeight = 520;
constexpr int kTimerMs = 300;
constexpr int kWorkerStopSeconds = 4;

// The connection guide the PSP help button shows while no PSP is found.
std::string PspConnectionGuide() {
  std::string text = StringOf(IDS_PSP_HELP_INTRO);
  for (int id = IDS_PSP_HELP_STEP1; id <= IDS_PSP_HELP_STEP7; ++id)
    text += "\r\n\r\n" + StringOf(id);
  return text;
}

// What each page will hold, shown until the page is built.
const char* PagePlaceholder(int page) {
  switch (page) {
    case PageVideo:
      return "Convert videos for the PSP and copy them to its memory stick.";
    case PageMusic:
      return "Copy music to the PSP and arrange it in folder groups.";
    case PagePhoto:
      return "Copy photos to the PSP, as they are or fitted to its screen.";
    case PageSaves:
      return "The game saves on your PSP.";
    default:
      return "Browse the online saves service and install saves on your PSP.";
  }
}

}  // namespace

ManagerWindow::ManagerWindow(CManagerApp& app, QWidget* parent)
    : QDialog(parent),
      app_(app),
      pspDrive_(std::make_shared<CPspDrive>(app.Platform(), app.m_config, app.m_nPlatform)),
      pspPanel_(*pspDrive_, app.m_config) {
  setObjectName("ManagerWindow");
  setWindowTitle(QString::fromUtf8(StringText(IDS_APP_TITLE)));
  setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setMinimumSize(kMinimumWidth, kMinimumHeight);

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  tabs_ = new QButtonGroup(this);
  tabs_->setExclusive(true);
  pages_ = new QStackedWidget(this);
  for (int page = 0; page < kPageCount; ++page) {
    auto* tab = new QPushButton(PageCaption(page), this);
    tab->setObjectName(QString("PageTab%1").arg(page));
    tab->setCheckable(true);
    tab->setAutoDefault(false);
    tabs_->addButton(tab, page);
    top->addWidget(tab);
    auto* placeholder = new QLabel(PagePlaceholder(page), pages_);
    placeholder->setAlignment(Qt::AlignCenter);
    placeholder->setWordWrap(true);
    pages_->addWidget(placeholder);
  }
  top->addStretch();
  exitButton_ = new QPushButton("Exit", this);
  exitButton_->setObjectName("ExitButton");
  exitButton_->setAutoDefault(false);
  top->addWidget(exitButton_);
  layout->addLayout(top);
  layout->addLayout(CreatePspStatusRow());
  layout->addWidget(pages_, 1);
  auto* bottom = new QHBoxLayout;
  statusLabel_ = new QLabel(this);
  statusLabel_->setObjectName("StatusLine");
  bottom->addWidget(statusLabel_, 1);
  deleteFromPspButton_ = new QPushButton(StringText(IDS_DELETE_FROM_PSP), this);
  deleteFromPspButton_->setObjectName("DeleteFromPspButton");
  deleteFromPspButton_->setAutoDefault(false);
  bottom->addWidget(deleteFromPspButton_);
  layout->addLayout(bottom);

  connect(tabs_, &QButtonGroup::idClicked, this, &ManagerWindow::SwitchToPage);
  connect(exitButton_, &QPushButton::clicked, this, &ManagerWindow::ExitSequence);
  connect(pspButton_, &QToolButton::clicked, this, &ManagerWindow::OnPspHelp);

  bridge_.Attach([this] {
    QMetaObject::invokeMethod(
        this, [this] { bridge_.RunPending(); }, Qt::QueuedConnection);
  });
  app_.SetMessageBoxHost(this);
  if (auto* lock = app_.InstanceLock()) {
    lock->SetRaiseHandler([this] {
      QMetaObject::invokeMethod(this, &ManagerWindow::BringForward, Qt::QueuedConnection);
    });
  }

  PlaceWindow();
  SwitchToPage(PageVideo);
  RefreshPspStatus();

  pollThread_ = CThread::Start(this, ThreadPollPsp, 0, {}, ThreadPriorityNormal);

  auto* timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, &ManagerWindow::OnTimer);
  timer->start(kTimerMs);
}

ManagerWindow::~ManagerWindow() {
  CThread::StopAndDelete(std::move(pollThread_), kWorkerStopSeconds);
  if (auto* lock = app_.InstanceLock()) lock->SetRaiseHandler({});
  app_.SetMessageBoxHost(nullptr);
  bridge_.Detach();
}

QLayout* ManagerWindow::CreatePspStatusRow() {
  auto* row = new QHBoxLayout;
  pspButton_ = new QToolButton(this);
  pspButton_->setObjectName("PspStatusButton");
  pspButton_->setAutoRaise(true);
  pspButton_->setIconSize(QSize(64, 32));
  row->addWidget(pspButton_);
  pspStatusLabel_ = new QLabel(this);
  pspStatusLabel_->setObjectName("PspStatusText");
  row->addWidget(pspStatusLabel_, 1);
  freeSpaceLabel_ = new QLabel(this);
  freeSpaceLabel_->setObjectName("FreeSpaceText");
  row->addWidget(freeSpaceLabel_);
  freeSpaceBar_ = new QProgressBar(this);
  freeSpaceBar_->setObjectName("FreeSpaceBar");
  freeSpaceBar_->setRange(0, 100);
  freeSpaceBar_->setTextVisible(false);
  freeSpaceBar_->setFixedWidth(160);
  row->addWidget(freeSpaceBar_);
  return row;
}

void ManagerWindow::PlaceWindow() {
  const AppConfig& config = app_.m_config;
  resize(std::max(config.WindowWidth, kMinimumWidth),
         std::max(config.WindowHeight, kMinimumHeight));
  if (config.WindowLeft == -1 && config.WindowTop == -1) return;
  // Keep a stored position on the desktop's work area.
  QRect area = QGuiApplication::primaryScreen()
                   ? QGuiApplication::primaryScreen()->availableGeometry()
                   : QRect(0, 0, 1024, 768);
  int left = config.WindowLeft, top = config.WindowTop;
  if (left < area.left() || left > area.right()) left = area.left();
  if (top < area.top() || top > area.bottom()) top = area.top();
  move(left, top);
}

void ManagerWindow::CaptureWindowState() {
  AppConfig& config = app_.m_config;
  const QRect frame = geometry();
  config.WindowLeft = frame.left();
  config.WindowTop = frame.top();
  config.WindowWidth = frame.width();
  config.WindowHeight = frame.height();
}

void ManagerWindow::SwitchToPage(int page) {
  if (page == currentPage_ || page < 0 || page >= kPageCount) return;
  if (currentPage_ >= 0) CaptureWindowState();
  currentPage_ = page;
  pages_->setCurrentIndex(page);
  tabs_->button(page)->setChecked(true);
  tabs_->button(page)->setFocus();
}

void ManagerWindow::ExitSequence() {
  if (closing_) return;
  closing_ = true;
  status_.Set(StringText(IDS_CLOSING));
  RefreshStatusLine();
  repaint();
  CThread::StopAndDelete(std::move(pollThread_), kWorkerStopSeconds);
  CaptureWindowState();
  done(ResultOk);
}

void ManagerWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  ExitSequence();
}

void ManagerWindow::reject() {}

void ManagerWindow::BringForward() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void ManagerWindow::OnTimer() {
  status_.Tick();
  RefreshStatusLine();
  if (++timerDepth_ == 1) {
    pspPanel_.Tick();
    // The free space may change while the state stays (after a transfer), so the whole status
    // area is brought up to date on every tick; unchanged widgets are left alone.
    RefreshPspStatus();
  }
  --timerDepth_;
}

void ManagerWindow::RefreshPspStatus() {
  const QString text = QString::fromUtf8(pspPanel_.StatusText().c_str());
  if (pspStatusLabel_->text() != text) pspStatusLabel_->setText(text);
  if (pspButton_->icon().isNull() || iconConnected_ != pspPanel_.IconConnected() ||
      iconPhase_ != pspPanel_.IconPhase()) {
    iconConnected_ = pspPanel_.IconConnected();
    iconPhase_ = pspPanel_.IconPhase();
    pspButton_->setIcon(QIcon(PspStatusIcon(iconConnected_, iconPhase_)));
  }
  const bool showSpace = pspPanel_.ShowsFreeSpace();
  freeSpaceLabel_->setVisible(showSpace);
  freeSpaceBar_->setVisible(showSpace);
  if (showSpace) {
    const QString space = QString::fromUtf8(pspPanel_.FreeSpaceText().c_str());
    if (freeSpaceLabel_->text() != space) freeSpaceLabel_->setText(space);
    if (freeSpaceBar_->value() != pspPanel_.FreeSpaceFill())
      freeSpaceBar_->setValue(pspPanel_.FreeSpaceFill());
  }
  // No batch operation runs from this window yet, so no transfer holds the commands back.
  deleteFromPspButton_->setEnabled(pspPanel_.PspCommandsEnabled(/*transferRunning=*/false));
}

void ManagerWindow::OnPspHelp() {
  switch (pspPanel_.PressHelp()) {
    case PspStatusPanel::HelpShowGuide:
      app_.DoMessageBox(PspConnectionGuide());
      break;
    case PspStatusPanel::HelpShowDevicePaths:
      pspDrive_->ShowUsbDevicePaths(*this);
      app_.DoMessageBox(app_.m_szProgramFolder);
      break;
    case PspStatusPanel::HelpNothing:
      break;
  }
}

void ManagerWindow::RefreshStatusLine() {
  const QString text = QString::fromUtf8(status_.Text().c_str());
  if (statusLabel_->text() != text) statusLabel_->setText(text);
}

intptr_t ManagerWindow::SendWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return bridge_.Send([=, this] { return OnWindowMessage(message, wParam, lParam); });
}

intptr_t ManagerWindow::OnWindowMessage(uint32_t message, uintptr_t, intptr_t) {
  switch (message) {
    case WM_STATUS_CHANGED:
    case WM_TREE_CLICKED:
    case WM_LIST_CLICKED:
      RefreshStatusLine();
      update();
      return 0;
    default:
      return 0;
  }
}

void ManagerWindow::RunThreadWork(int kind, ManualResetEvent& stop, uintptr_t) {
  if (kind == ThreadPollPsp) {
    // The worker keeps the detector alive even if the window is gone before it ends.
    const std::shared_ptr<CPspDrive> drive = pspDrive_;
    RunPspPolling(*drive, stop);
  }
}

int ManagerWindow::ShowMessageBox(const MessageBoxRequest& request) {
  return static_cast<int>(bridge_.Send([this, request] {
    MessageBoxDialog box(this, request);
    return static_cast<intptr_t>(box.Run());
  }));
}

}  // namespace pspkvx
