#include "ui/qt/ManagerWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "base/StringTable.h"
#include "ui/ContextMenus.h"
#include "ui/ControlIds.h"
#include "ui/ControlLabels.h"
#include "ui/OnlineBrowser.h"
#include "ui/OnlineRowText.h"
#include "ui/OptionsModel.h"
#include "ui/PageTable.h"
#include "ui/TreeModel.h"
#include "ui/qt/InfoDialog.h"
#include "ui/qt/MessageBoxDialog.h"
#include "ui/qt/NameEntryDialog.h"
#include "ui/qt/OptionsDialog.h"
#include "ui/qt/PspStatusIcon.h"
#include "ui/qt/SkinButton.h"
#include "ui/qt/SkinList.h"
#include "ui/qt/SkinListView.h"
#include "ui/qt/SkinTree.h"
#include "ui/qt/StatusButton.h"
#include "ui/qt/UpdateDialog.h"

namespace pspkvx {
namespace {

constexpr int kMiddleColumnWidth = 180;

// The buttons whose chosen face shows which tab or step is the current one.
bool IsChoiceButton(int id) {
  if (PageOfTab(id) >= 0) return true;
  for (const int step : kQualityButtons)
    if (step == id) return true;
  return id == IdWideScreen || id == IdNormalScreen || id == IdNormalMpeg4 || id == IdAvc;
}

QString Text(const std::string& text) {
  return QString::fromUtf8(text.c_str());
}

const char* MenuCommandText(int command) {
  switch (command) {
    case MenuOpen:
      return "Open";
    case MenuRename:
      return "Rename";
    case MenuDelete:
      return "Delete";
    case MenuNewGroupFolder:
      return "New Group Folder";
    case MenuUpALevel:
      return "Up a level";
    case MenuTreeRefresh:
      return "Refresh";
    default:
      return "";
  }
}

}  // namespace

ManagerWindow::ManagerWindow(CManagerApp& app, QWidget* parent)
    : QDialog(parent),
      app_(app),
      logic_(std::make_unique<CManagerDlg>(app, *this)),
      savesTree_(logic_->SavesTreeRows()) {
  setObjectName("ManagerWindow");
  setWindowTitle(Text(StringText(IDS_APP_TITLE)));
  setWindowIcon(QIcon(PspStatusIcon(true, 3, 64)));
  setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setMinimumSize(kMinimumWindowWidth, kMinimumWindowHeight);
  CreateControls();

  logic_->AttachWindowThread([this] {
    QMetaObject::invokeMethod(
        this, [this] { logic_->ServicePendingMessages(); }, Qt::QueuedConnection);
  });
  app_.SetMessageBoxHost(logic_.get());
  if (auto* lock = app_.InstanceLock()) {
    lock->SetRaiseHandler([this] {
      QMetaObject::invokeMethod(this, &ManagerWindow::BringForward, Qt::QueuedConnection);
    });
  }
  logic_->Initialize();
  RefreshPainted();
  connect(&timer_, &QTimer::timeout, this, [this] {
    logic_->OnTimer();
    RefreshPainted();
  });
  timer_.start(kTimerMilliseconds);
}

ManagerWindow::~ManagerWindow() {
  timer_.stop();
  if (auto* lock = app_.InstanceLock()) lock->SetRaiseHandler({});
  app_.SetMessageBoxHost(nullptr);
  logic_.reset();
}

// ---- Controls ----

QWidget* ManagerWindow::Control(int id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

SkinButton* ManagerWindow::AddButton(int id) {
  auto* button = new SkinButton(id, Text(ControlLabel(id, PageVideo)), this);
  button->setObjectName(QString("Control%1").arg(id));
  button->setFocusPolicy(Qt::TabFocus);
  connect(button, &SkinButton::Command, this, [this](int control) { logic_->OnCommand(control); });
  controls_[id] = button;
  return button;
}

SkinList* ManagerWindow::AddList(int id, bool pcSide) {
  auto* list = new SkinList(this);
  list->setObjectName(QString("List%1").arg(id));
  list->SetModel(logic_->List(id));
  connect(list, &SkinList::Pressed, this, [this, id] { logic_->OnListPressed(id); });
  connect(list, &SkinList::Released, this, [this, id] { logic_->OnListPressed(id); });
  connect(list, &SkinList::UpALevel, this, [this, id] {
    if (id == IdOnlineLeft)
      logic_->OnExtraMouseButton();
    else
      logic_->OnCommand(IdUpALevel);
  });
  if (id == IdOnlineRight) {
    list->SetRowLines([](const ListRow& row) { return PspSaveLines(row); });
    list->SetPictureSize(QSize(72, 40));
  }
  if (id == IdOnlineLeft) {
    list->SetOwnerSelects(true);
    list->SetRowLines([](const ListRow& row) { return OnlineRowLines(row); });
    list->SetPictureSize(QSize(72, 40));
    ListColours colours = list->Colours();
    colours.selected.background = kSelectedSaveColour;
    list->SetColours(colours);
    connect(list, &SkinList::RowPressed, this,
            [this, id](int row) { logic_->OnListRowPressed(id, row); });
  }
  connect(list, &SkinList::DoubleClicked, this,
          [this, id](int row) { logic_->OnListDoubleClicked(id, row); });
  if (pcSide) {
    list->SetDropEnabled(true);
    list->SetDropHandler([this, id](const std::string& path, bool moreFollow) {
      logic_->OnFilesDropped(id, path, moreFollow);
    });
  }
  if (id == IdMusicPspList || id == IdPhotoPspList) {
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, id, list](const QPoint& at) {
      const auto row = list->RowAt(at);
      logic_->OnContextMenu(id, row ? static_cast<int>(*row) : -1);
    });
  }
  controls_[id] = list;
  return list;
}

SkinListView* ManagerWindow::AddListView(int id) {
  auto* view = new SkinListView(this);
  view->setObjectName(QString("List%1").arg(id));
  view->SetModel(logic_->List(id));
  // A hidden key column, then the save's title (with its icon), folder, date and size.
  view->SetColumns({"", "Title", "Folder", "Date", "Size"}, {0, 184, 86, 172, 400});
  view->SetColumnSources({-1, 0, 1, 2, 3});
  connect(view, &SkinList::Pressed, this, [this, id] { logic_->OnListPressed(id); });
  connect(view, &SkinList::Released, this, [this, id] { logic_->OnListPressed(id); });
  controls_[id] = view;
  return view;
}

void ManagerWindow::CreateControls() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 6, 8, 6);
  layout->addLayout(CreateTitleRow());
  layout->addLayout(CreatePspRow());
  layout->addLayout(CreatePages(), 1);

  auto* bottom = new QHBoxLayout;
  statusLabel_ = new QLabel(this);
  statusLabel_->setObjectName("StatusLine");
  bottom->addWidget(statusLabel_, 1);
  progressBar_ = new QProgressBar(this);
  progressBar_->setObjectName("ProgressBar");
  progressBar_->setRange(0, 100);
  progressBar_->setTextVisible(false);
  progressBar_->setFixedWidth(200);
  controls_[IdProgressBar] = progressBar_;
  bottom->addWidget(progressBar_);
  layout->addLayout(bottom);
}

QLayout* ManagerWindow::CreateTitleRow() {
  titleRow_ = new QWidget(this);
  auto* row = new QHBoxLayout(titleRow_);
  row->setContentsMargins(0, 0, 0, 0);
  for (int page = 0; page < kPageCount; ++page) {
    SkinButton* tab = AddButton(TabOfPage(page));
    tab->setObjectName(QString("PageTab%1").arg(page));
    row->addWidget(tab);
  }
  row->addStretch();
  for (const int id : {IdAbout, IdTray, IdMinimize, IdMaximize, IdExit})
    row->addWidget(AddButton(id));
  controls_[IdExit]->setObjectName("ExitButton");
  auto* holder = new QHBoxLayout;
  holder->addWidget(titleRow_);
  return holder;
}

QLayout* ManagerWindow::CreatePspRow() {
  auto* row = new QHBoxLayout;
  pspButton_ = new StatusButton(IdPspStatus, this);
  pspButton_->setObjectName("PspStatusButton");
  connect(pspButton_, &SkinButton::Command, this,
          [this](int control) { logic_->OnCommand(control); });
  controls_[IdPspStatus] = pspButton_;
  row->addWidget(pspButton_);
  pspStatusLabel_ = new QLabel(this);
  pspStatusLabel_->setObjectName("PspStatusText");
  controls_[IdStatusText] = pspStatusLabel_;
  row->addWidget(pspStatusLabel_, 1);
  freeSpaceLabel_ = new QLabel(this);
  freeSpaceLabel_->setObjectName("FreeSpaceText");
  row->addWidget(freeSpaceLabel_);
  freeSpaceBar_ = new QProgressBar(this);
  freeSpaceBar_->setObjectName("FreeSpaceBar");
  freeSpaceBar_->setRange(0, 100);
  freeSpaceBar_->setTextVisible(false);
  freeSpaceBar_->setFixedWidth(160);
  controls_[IdFreeSpaceBar] = freeSpaceBar_;
  row->addWidget(freeSpaceBar_);
  return row;
}

QLayout* ManagerWindow::CreatePages() {
  auto* grid = new QGridLayout;
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(1, 1);

  // Above the lists: the list styles, adding files, going up a level.
  auto* leftTools = new QHBoxLayout;
  leftTools->addWidget(AddButton(IdLeftListStyle));
  leftTools->addWidget(AddButton(IdAddFiles));
  leftTools->addStretch();
  grid->addLayout(leftTools, 0, 0);
  auto* rightTools = new QHBoxLayout;
  rightTools->addWidget(AddButton(IdRightListStyle));
  rightTools->addWidget(AddButton(IdUpALevel));
  rightTools->addStretch();
  grid->addLayout(rightTools, 0, 2);

  // The lists: every page's lists share the two places, only the current page's are shown.
  for (const int id : {IdVideoPcList, IdMusicPcList, IdPhotoPcList, IdOnlineLeft})
    grid->addWidget(AddList(id, id != IdOnlineLeft), 1, 0);
  grid->addWidget(AddListView(IdPcSavesList), 1, 0);
  auto* tree = new SkinTree(this);
  tree->setObjectName("Online Tree");
  tree->SetModel(savesTree_);
  connect(tree, &SkinTree::NodePressed, this, [this] { logic_->OnTreePressed(); });
  connect(tree, &SkinTree::NodeExpanded, this,
          [this](qint64 node, bool expanded) { logic_->OnTreeExpanded(node, expanded); });
  tree->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tree, &QWidget::customContextMenuRequested, this, [this, tree](const QPoint& at) {
    const auto node = tree->NodeAt(at);
    // The node under the pointer becomes the chosen one, as on the desktop.
    if (node) savesTree_->Select(*node);
    tree->Refresh();
    logic_->OnTreeContextMenu(node ? *node : -1);
  });
  controls_[IdOnlineTree] = tree;
  grid->addWidget(tree, 1, 0);
  for (const int id : {IdVideoPspList, IdMusicPspList, IdPhotoPspList, IdOnlineRight})
    grid->addWidget(AddList(id, false), 1, 2);
  grid->addWidget(AddListView(IdPspSavesList), 1, 2);

  // Between the lists: the transfer, the quality or photo mode, the video choices, Options.
  auto* middle = new QVBoxLayout;
  middle->addWidget(AddButton(IdTransfer));
  middle->addSpacing(8);
  for (const int id : {IdBackupSaves, IdInstallFromFile})
    middle->addWidget(AddButton(id));
  for (const int step : kQualityButtons)
    middle->addWidget(AddButton(step));
  middle->addSpacing(8);
  for (const int id : {IdWideScreen, IdNormalScreen, IdNormalMpeg4, IdAvc})
    middle->addWidget(AddButton(id));
  middle->addStretch();
  middle->addWidget(AddButton(IdOptions));
  middle->addWidget(AddButton(IdCancel));
  auto* middleColumn = new QWidget(this);
  middleColumn->setLayout(middle);
  middleColumn->setFixedWidth(kMiddleColumnWidth);
  grid->addWidget(middleColumn, 0, 1, 3, 1);

  // Below the lists.
  auto* leftActions = new QHBoxLayout;
  for (const int id : {IdRemove, IdSelectAllPc, IdConvert})
    leftActions->addWidget(AddButton(id));
  leftActions->addStretch();
  grid->addLayout(leftActions, 2, 0);
  auto* rightActions = new QHBoxLayout;
  for (const int id : {IdDeleteFromPsp, IdSelectAllPsp, IdNewGroupFolder})
    rightActions->addWidget(AddButton(id));
  rightActions->addStretch();
  grid->addLayout(rightActions, 2, 2);
  controls_[IdDeleteFromPsp]->setObjectName("DeleteFromPspButton");
  controls_[IdCancel]->hide();
  return grid;
}

// ---- What the window paints ----

void ManagerWindow::RelabelForPage() {
  const int page = logic_->CurrentPage();
  if (page == labelledPage_) return;
  labelledPage_ = page;
  for (const auto& [id, widget] : controls_) {
    auto* button = qobject_cast<SkinButton*>(widget);
    if (!button || button == pspButton_) continue;
    const QString label = Text(ControlLabel(id, page));
    button->SetLabel(label);
    button->setToolTip(label);
  }
}

void ManagerWindow::RefreshPainted() {
  RelabelForPage();
  const QString status = Text(logic_->StatusText());
  if (statusLabel_->text() != status) statusLabel_->setText(status);
  const PspStatusPanel& panel = logic_->PspPanel();
  const QString pspText = Text(panel.StatusText());
  if (pspStatusLabel_->text() != pspText) pspStatusLabel_->setText(pspText);
  const bool showSpace = panel.ShowsFreeSpace();
  freeSpaceLabel_->setVisible(showSpace);
  freeSpaceBar_->setVisible(showSpace);
  if (showSpace) {
    const QString space = Text(panel.FreeSpaceText());
    if (freeSpaceLabel_->text() != space) freeSpaceLabel_->setText(space);
    if (freeSpaceBar_->value() != panel.FreeSpaceFill())
      freeSpaceBar_->setValue(panel.FreeSpaceFill());
  }
  const int progress = logic_->Progress().load();
  if (progressBar_->value() != progress) progressBar_->setValue(progress);
}

void ManagerWindow::ShowControl(int id, bool shown) {
  if (QWidget* widget = Control(id)) widget->setVisible(shown);
}

void ManagerWindow::EnableControl(int id, bool enabled) {
  if (QWidget* widget = Control(id)) widget->setEnabled(enabled);
}

void ManagerWindow::SetFaceIndex(int id, int face) {
  if (id == IdPspStatus) {
    pspButton_->SetConnected(face == 0);
    if (face > 0) pspButton_->SetPhase(face);
    return;
  }
  auto* button = qobject_cast<SkinButton*>(Control(id));
  if (!button) return;
  // A chosen tab or step shows pressed; others follow the pointer.
  button->SetFaceIndex(IsChoiceButton(id) ? (face == 1 ? 3 : 0) : face);
}

void ManagerWindow::FocusControl(int id) {
  if (QWidget* widget = Control(id)) widget->setFocus();
}

std::vector<int> ManagerWindow::ColumnWidths(int listId) const {
  auto* view = qobject_cast<SkinListView*>(Control(listId));
  return view ? view->ColumnWidths() : std::vector<int>{};
}

void ManagerWindow::SetColumnWidths(int listId, const std::vector<int>& widths) {
  if (auto* view = qobject_cast<SkinListView*>(Control(listId))) view->SetColumnWidths(widths);
}

void ManagerWindow::SetListPictureSize(int listId, int width, int height) {
  if (auto* list = qobject_cast<SkinList*>(Control(listId))) list->SetPictureSize({width, height});
}

void ManagerWindow::RepaintAll() {
  RefreshPainted();
  for (const auto& [id, widget] : controls_)
    if (auto* list = qobject_cast<SkinRowView*>(widget)) list->Refresh();
  update();
}

void ManagerWindow::RepaintStatusArea() {
  RefreshPainted();
}

void ManagerWindow::RepaintControl(int id) {
  QWidget* widget = Control(id);
  if (!widget) return;
  if (auto* list = qobject_cast<SkinRowView*>(widget)) list->Refresh();
  widget->update();
}

Rect ManagerWindow::WindowRect() const {
  const QRect rect = geometry();
  return {rect.left(), rect.top(), rect.width(), rect.height()};
}

Rect ManagerWindow::WorkArea() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  return {area.left(), area.top(), area.width(), area.height()};
}

void ManagerWindow::PlaceWindow(const Placement& placement) {
  const Rect& r = placement.rect;
  setGeometry(r.left, r.top, r.width, r.height);
  if (placement.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void ManagerWindow::MaximizeOrRestore() {
  if (isMaximized())
    showNormal();
  else
    showMaximized();
}

void ManagerWindow::NudgeSize(int pixels) {
  if (isMaximized() || isMinimized() || !isVisible()) return;
  resize(width() + pixels, height() + pixels);
}

// ---- Dialogs ----

int ManagerWindow::RunMessageBox(const MessageBoxRequest& request) {
  MessageBoxDialog box(this, request);
  return box.Run();
}

OptionsOutcome ManagerWindow::RunOptions(AppConfig& config, const std::string& programFolder) {
  OptionsModel model(config);
  OptionsDialog dialog(model, programFolder, this);
  return dialog.Run();
}

void ManagerWindow::RunInfo(const std::string& text) {
  InfoDialog dialog(text, this);
  dialog.Run();
}

void ManagerWindow::RunUpdateDialog(CUpdateCheckDlg& logic) {
  UpdateDialog dialog(logic, this);
  dialog.Run();
}

std::string ManagerWindow::RunNameEntry(const std::string& prompt, const std::string& initialName) {
  NameEntryDialog dialog(prompt, initialName, this);
  return dialog.Run();
}

int ManagerWindow::RunContextMenu(int menu) {
  QMenu popup(this);
  for (const int command : ContextMenuCommands(menu))
    popup.addAction(MenuCommandText(command))->setData(command);
  const QAction* chosen = popup.exec(QCursor::pos());
  return chosen ? chosen->data().toInt() : 0;
}

std::string ManagerWindow::RunSaveDialog(const std::string& proposedPath) {
  return QFileDialog::getSaveFileName(this, "Save As", Text(proposedPath), "All Files (*)")
      .toStdString();
}

std::vector<std::string> ManagerWindow::ChooseFiles(const std::string& folder) {
  std::vector<std::string> files;
  for (const QString& file :
       QFileDialog::getOpenFileNames(this, "Add Files", Text(folder), "All Files (*)"))
    files.push_back(file.toStdString());
  return files;
}

std::string ManagerWindow::ChooseFolder(const std::string& folder) {
  return QFileDialog::getExistingDirectory(this, "Back up to PC", Text(folder)).toStdString();
}

bool ManagerWindow::OpenDocument(const std::string& address) {
  return QDesktopServices::openUrl(QUrl::fromUserInput(Text(address)));
}

// ---- Events ----

void ManagerWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  logic_->OnCloseRequest();
}

void ManagerWindow::reject() {}

void ManagerWindow::keyPressEvent(QKeyEvent* event) {
  const int key = event->key() == Qt::Key_F5       ? kVirtualKeyF5
                  : event->key() == Qt::Key_Delete ? kVirtualKeyDelete
                                                   : 0;
  if (key != 0 && logic_->OnKey(key)) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

Rect ManagerWindow::CaptionRect() const {
  return {0, 0, width(), titleRow_->geometry().bottom()};
}

void ManagerWindow::mousePressEvent(QMouseEvent* event) {
  // Either extra mouse button anywhere on the window: Back on the online page.
  if (event->button() == Qt::XButton1 || event->button() == Qt::XButton2) {
    logic_->OnExtraMouseButton();
    return;
  }
  QDialog::mousePressEvent(event);
}

void ManagerWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const QPoint at = event->position().toPoint();
    logic_->OnCaptionDoubleClick(at.x(), at.y(), CaptionRect());
  }
  QDialog::mouseDoubleClickEvent(event);
}

void ManagerWindow::wheelEvent(QWheelEvent* event) {
  // A turn of the wheel anywhere in the window scrolls the current page's list.
  QWidget* list = Control(ControlsOfPage(logic_->CurrentPage()).pcList);
  if (list && list->isVisible() && !list->underMouse()) {
    QApplication::sendEvent(list, event);
    return;
  }
  QDialog::wheelEvent(event);
}

void ManagerWindow::BringForward() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

}  // namespace pspkvx
