#include "ui/qt/ManagerWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QUrl>
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
#include "ui/WindowLayout.h"
#include "ui/WindowPlaces.h"
#include "ui/qt/InfoDialog.h"
#include "ui/qt/MessageBoxDialog.h"
#include "ui/qt/NameEntryDialog.h"
#include "ui/qt/OptionsDialog.h"
#include "ui/qt/PspStatusIcon.h"
#include "ui/qt/SkinArt.h"
#include "ui/qt/SkinButton.h"
#include "ui/qt/SkinColour.h"
#include "ui/qt/SkinFrame.h"
#include "ui/qt/SkinList.h"
#include "ui/qt/SkinListView.h"
#include "ui/qt/SkinRowView.h"
#include "ui/qt/SkinTree.h"
#include "ui/qt/StatusButton.h"
#include "ui/qt/UpdateDialog.h"
#include "ui/skin/SkinBitmaps.h"
#include "ui/skin/SkinRegion.h"
#include "ui/skin/SkinSizing.h"

namespace pspkvx {
namespace {

constexpr int kCaptionHeight = 31;  // the skin's caption band: presses there move the window

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
      savesTree_(logic_->SavesTreeRows()),
      layout_(MainWindowLayout({kMinimumWindowWidth, kMinimumWindowHeight})) {
  setObjectName("ManagerWindow");
  setWindowTitle(Text(StringText(IDS_APP_TITLE)));
  setWindowIcon(QIcon(PspStatusIcon(true, 3, 64)));
  setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setMinimumSize(kMinimumWindowWidth, kMinimumWindowHeight);
  resize(kMinimumWindowWidth, kMinimumWindowHeight);
  SetSkinArtFolder(app.m_szProgramFolder.empty() ? "" : app.m_szProgramFolder + "/Dat");
  frame_ = new SkinFrame(*this, {app.m_szProgramFolder + "/Dat/Dialog Graphic.bmp",
                                 kMainWindowSlices,
                                 kMainWindowKeyColour,
                                 kDefaultGripSize,
                                 {0, 0, 20000, kCaptionHeight}});
  CreateControls();
  // The focus ring around a list is drawn by the window.
  connect(qApp, &QApplication::focusChanged, this, [this] { update(); });

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

QLabel* ManagerWindow::AddLabel(int id, const char* name) {
  auto* label = new QLabel(this);
  label->setObjectName(name);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);  // presses reach the window
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, SkinColour(kDialogText));
  label->setPalette(palette);
  controls_[id] = label;
  return label;
}

QProgressBar* ManagerWindow::AddBar(int id, const char* name) {
  auto* bar = new QProgressBar(this);
  bar->setObjectName(name);
  bar->setRange(0, 100);
  bar->setTextVisible(false);
  // A rounded track with the skin's accent filling it, in place of the system's bar.
  bar->setStyleSheet(
      "QProgressBar { border: 1px solid #9aa3b5; border-radius: 4px; background: #f7f8fb; }"
      "QProgressBar::chunk { border-radius: 3px; background: qlineargradient(x1:0, y1:0, x2:0, "
      "y2:1, stop:0 #7d93e0, stop:1 #4a63c0); }");
  controls_[id] = bar;
  return bar;
}

void ManagerWindow::CreateControls() {
  for (int page = 0; page < kPageCount; ++page) {
    SkinButton* tab = AddButton(TabOfPage(page));
    tab->setObjectName(QString("PageTab%1").arg(page));
    tab->SetFaces(kTabButtonFaces);
  }
  for (const int id : {IdAbout, IdTray, IdMinimize, IdMaximize, IdExit})
    AddButton(id)->SetFaces(kTitleButtonFaces);
  controls_[IdExit]->setObjectName("ExitButton");

  pspButton_ = new StatusButton(IdPspStatus, this);
  pspButton_->setObjectName("PspStatusButton");
  connect(pspButton_, &SkinButton::Command, this,
          [this](int control) { logic_->OnCommand(control); });
  controls_[IdPspStatus] = pspButton_;
  pspStatusLabel_ = AddLabel(IdStatusText, "PspStatusText");
  freeSpaceLabel_ = AddLabel(IdFreeSpaceText, "FreeSpaceText");
  freeSpaceLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  freeSpaceBar_ = AddBar(IdFreeSpaceBar, "FreeSpaceBar");

  for (const int id : {IdLeftListStyle, IdAddFiles, IdRightListStyle, IdUpALevel})
    AddButton(id);

  // The lists: every page's lists share the two places, only the current page's are shown.
  for (const int id : {IdVideoPcList, IdMusicPcList, IdPhotoPcList, IdOnlineLeft})
    AddList(id, id != IdOnlineLeft);
  AddListView(IdPcSavesList);
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
  for (const int id : {IdVideoPspList, IdMusicPspList, IdPhotoPspList, IdOnlineRight})
    AddList(id, false);
  AddListView(IdPspSavesList);

  // Between the lists: the transfer, the quality or photo mode, the video choices, Options.
  AddButton(IdTransfer)->SetFaces(kActionButtonFaces);
  for (const int id : {IdBackupSaves, IdInstallFromFile})
    AddButton(id);
  for (const int step : kQualityButtons)
    AddButton(step);
  for (const int id : {IdWideScreen, IdNormalScreen, IdNormalMpeg4, IdAvc})
    AddButton(id);
  AddButton(IdOptions);

  // Below the lists.
  for (const int id :
       {IdRemove, IdSelectAllPc, IdConvert, IdDeleteFromPsp, IdSelectAllPsp, IdNewGroupFolder})
    AddButton(id);
  controls_[IdDeleteFromPsp]->setObjectName("DeleteFromPspButton");
  AddButton(IdCancel)->hide();
  progressBar_ = AddBar(IdProgressBar, "ProgressBar");
  statusLabel_ = AddLabel(IdStatusLine, "StatusLine");

  // The photo modes' labels are long: they wrap on the photo page's taller buttons.
  for (const int id : kPhotoModeButtons)
    static_cast<SkinButton*>(Control(id))->SetWrapsLabel(true);

  // Every control at its place for the skin's size; the rules move them from there.
  places_ = MainWindowPlaces();
  for (const auto& [id, rect] : places_)
    Place(id);
}

void ManagerWindow::LayOutControls() {
  for (const auto& [id, rect] : layout_.Apply({width(), height()}, places_))
    Place(id);
}

void ManagerWindow::Place(int id) {
  QWidget* widget = Control(id);
  const auto it = places_.find(id);
  if (!widget || it == places_.end()) return;
  const SkinRect rect = PagePlace(labelledPage_, id, it->second);
  widget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
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
  for (const int id : kPhotoModeButtons)
    Place(id);  // the photo page has its own places for them
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
  if (placement.maximized) frame_->SetMaximized(true);
}

bool ManagerWindow::IsMaximized() const {
  return frame_->Maximized();
}

void ManagerWindow::MaximizeOrRestore() {
  frame_->SetMaximized(!frame_->Maximized());
}

void ManagerWindow::NudgeSize(int pixels) {
  if (IsMaximized() || isMinimized() || !isVisible()) return;
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
  return {0, 0, width(), kCaptionHeight};
}

void ManagerWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!frame_->Loaded()) painter.fillRect(rect(), SkinColour(kDialogFace));
  // The title in the caption band, clear of the tabs and the title buttons.
  QFont title = font();
  title.setBold(true);
  title.setPixelSize(15);
  painter.setFont(title);
  painter.setPen(frame_->Loaded() ? QColor(0xF2, 0xF4, 0xF8) : SkinColour(kDialogText));
  painter.drawText(QRect(16, 0, 300, kCaptionHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   windowTitle());

  // A frame around each shown list, and a ring in the accent colour around the one with the
  // keyboard focus.
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  for (const auto& [id, widget] : controls_) {
    if (!qobject_cast<SkinRowView*>(widget) || !widget->isVisible()) continue;
    const bool focused = widget->hasFocus();
    painter.setPen(
        QPen(focused ? SkinColour(kLabelHot) : QColor(0x9a, 0xa3, 0xb5), focused ? 2.0 : 1.0));
    const qreal out = focused ? 1.5 : 0.5;
    painter.drawRoundedRect(QRectF(widget->geometry()).adjusted(-out, -out, out, out), 2, 2);
  }
}

void ManagerWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  LayOutControls();
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
